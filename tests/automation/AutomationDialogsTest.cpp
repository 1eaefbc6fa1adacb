#include "AutomationFile.h"
#include "CAutomationDlg.h"
#include "CMaskEdit.h"
#include "CStopAutomationDlg.h"
#include "ManualClock.h"
#include "ScriptedMessageBoxes.h"
#include "TemporaryDirectory.h"

#include <QComboBox>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace kqvdr {
namespace {

const QString kTitle = QStringLiteral("KQ-VDR1000 Control");

// The editor on a fresh directory, opened on a Monday; Ok's hand-over is recorded.
struct EditorWorld {
    test::TemporaryDirectory dir;
    test::ScriptedMessageBoxes messages;
    std::vector<Timetable> started;
    std::filesystem::path programDir = dir.path();
    QPointer<CAutomationDlg> editor;

    void open() {
        editor = new CAutomationDlg(kTitle, messages, programDir, "MON",
                                    [this](const Timetable& t) { started.push_back(t); });
        editor->show();
    }
    template <typename W> W* find(int id) { return editor->findChild<W*>(QString::number(id)); }
    CMaskEdit* time(int row) { return find<CMaskEdit>(CAutomationDlg::kRowIds[row - 1].time); }
    CMaskEdit* method(int row) {
        return find<CMaskEdit>(CAutomationDlg::kRowIds[row - 1].methodEdit);
    }
    void leave(CMaskEdit* edit, const QString& typed) {
        edit->setText(typed);
        emit edit->focusLost();
    }
    void press(int button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }
    ~EditorWorld() { delete editor; }
};

TEST(AutomationEditor, ClearThenOkOnAMondayStoresMondayInEveryRowAndStarts) {
    EditorWorld world;
    world.open();
    world.press(CAutomationDlg::ClearButton);
    world.leave(world.time(1), QStringLiteral("0830"));
    world.press(CAutomationDlg::OkButton);

    ASSERT_EQ(world.started.size(), 1u);
    const TimetableRead stored = readAutomationFile(world.programDir);
    ASSERT_EQ(stored.status, ArchiveReadStatus::Ok);
    for (const AutomationEvent& event : stored.events) {
        EXPECT_EQ(event.eventDay, "MON");
    }
    EXPECT_EQ(stored.events[0].eventTime, "08:30");
    EXPECT_EQ(stored.events[1].eventTime, "##:##");
    EXPECT_EQ(stored.events[0].eventMethod, "1");
    EXPECT_EQ(world.started[0], stored.events);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(world.editor.isNull()) << "Ok closes the editor";
}

TEST(AutomationEditor, FieldChecksRefuseBadTimesAndClampMethodsWithTheirMessages) {
    EditorWorld world;
    world.open();
    world.leave(world.time(2), QStringLiteral("24:00"));
    EXPECT_EQ(world.time(2)->text(), QStringLiteral("##:##"));
    ASSERT_EQ(world.messages.shown.size(), 1u);
    EXPECT_EQ(world.messages.shown[0].text, "You have entered an invalid time, please retry.\n\n");
    EXPECT_EQ(world.messages.shown[0].caption, "KQ-VDR1000 Control - Error");

    world.leave(world.time(2), QStringLiteral("9 :5 "));
    EXPECT_EQ(world.time(2)->text(), QStringLiteral("09:05"));
    world.leave(world.method(3), QStringLiteral("0"));
    EXPECT_EQ(world.method(3)->text().trimmed(), QStringLiteral("1"));
    world.leave(world.method(4), QStringLiteral("11"));
    EXPECT_EQ(world.method(4)->text().trimmed(), QStringLiteral("10"));
    EXPECT_EQ(world.messages.shown.size(), 3u);
    EXPECT_EQ(world.messages.shown[2].text, "Method ID must be in the range 1 to 10");
}

TEST(AutomationEditor, OkRefusesAnUnsetFirstEventOrAFileItCannotWrite) {
    const struct {
        const char* name;
        bool firstEventSet;
        bool writable;
        const char* message;
    } cases[] = {
        {"first event unset", false, true, "The first event has not been configured correctly"},
        {"file cannot be written", true, false, "\nThe file \"Auto.seq\" cannot be written"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EditorWorld world;
        if (!c.writable) {
            world.programDir = world.dir.path() / "gone";
        }
        world.open();
        if (c.firstEventSet) {
            world.leave(world.time(1), QStringLiteral("10:00"));
        }
        world.press(CAutomationDlg::OkButton);
        EXPECT_TRUE(world.started.empty());
        EXPECT_FALSE(std::filesystem::exists(world.programDir / kAutomationFile));
        ASSERT_FALSE(world.messages.shown.empty());
        EXPECT_EQ(world.messages.shown.back().text.rfind(c.message, 0), 0u)
            << world.messages.shown.back().text;
        EXPECT_TRUE(world.editor->isVisible()) << "the editor stays open";
    }
}

TEST(AutomationEditor, OpensOnTheStoredTimetableOrTheDefaultsSayingWhenItIsDamaged) {
    EditorWorld world;
    Timetable stored = defaultTimetable();
    stored[0] = {"WED", "07:45", "GAS SAVE", "9"};
    ASSERT_FALSE(writeAutomationFile(world.programDir, stored));
    world.open();
    EXPECT_EQ(world.find<QComboBox>(CAutomationDlg::kRowIds[0].day)->currentText(), "WED");
    EXPECT_EQ(world.time(1)->text(), QStringLiteral("07:45"));
    EXPECT_EQ(world.find<QComboBox>(CAutomationDlg::kRowIds[0].mode)->currentText(), "GAS SAVE");
    EXPECT_EQ(world.find<QComboBox>(CAutomationDlg::kRowIds[1].day)->currentText(), "MON")
        << "a row without a day shows today";
    EXPECT_TRUE(world.messages.shown.empty());
    delete world.editor;

    test::writeBytes(world.programDir / kAutomationFile, "\x03WED\x05");
    world.open();
    EXPECT_EQ(world.time(1)->text(), QStringLiteral("##:##"));
    ASSERT_EQ(world.messages.shown.size(), 1u);
    EXPECT_NE(world.messages.shown[0].text.find("damaged"), std::string::npos);
}

// Auto.seq that is there but cannot be read is said so, and Ok never writes over it.
TEST(AutomationEditor, AFileThatCannotBeReadIsNamedWithItsReasonAndNotSavedOver) {
    EditorWorld world;
    std::filesystem::create_directory(world.programDir / kAutomationFile);
    world.open();
    ASSERT_EQ(world.messages.shown.size(), 1u);
    EXPECT_EQ(world.messages.shown[0].text.rfind(
                  "\nThe file \"Auto.seq\" cannot be read (Is a directory).", 0),
              0u)
        << world.messages.shown[0].text;
    world.leave(world.time(1), QStringLiteral("10:00"));
    world.press(CAutomationDlg::OkButton);
    EXPECT_TRUE(world.started.empty());
    EXPECT_EQ(world.messages.shown.size(), 2u);
    EXPECT_TRUE(std::filesystem::is_directory(world.programDir / kAutomationFile));
}

TEST(StopAutomationWindow, ShowsTheEventAndOnlyStopAutomationEndsIt) {
    AutomationTable table;
    table.setTimetable(defaultTimetable());
    table.event(1) = {"MON", "08:00", "RUN", "2"};
    table.event(0) = table.event(1);
    table.currentEventNumber = 1;
    test::ManualClock clock;
    clock.time.hour = 7;
    clock.time.minute = 59;
    clock.time.second = 58;
    test::ScriptedMessageBoxes messages;
    int stops = 0;
    QPointer<CStopAutomationDlg> window =
        new CStopAutomationDlg(table, clock, kTitle, messages, [&stops] { ++stops; });
    window->show();
    const auto line = [&window](int id) {
        return window->findChild<QListWidget*>(QString::number(id))->item(0)->text();
    };
    EXPECT_EQ(window->windowTitle(), kTitle + " - Automation");
    EXPECT_EQ(line(CStopAutomationDlg::TimeList), QStringLiteral("07:59:58"));
    EXPECT_EQ(line(CStopAutomationDlg::EventList),
              QStringLiteral("    01       08:00      ##:##       RUN  ( 2 )"));
    clock.time.second = 59;
    QTest::qWait(250);
    EXPECT_EQ(line(CStopAutomationDlg::TimeList), QStringLiteral("07:59:59"));

    QTest::keyClick(window, Qt::Key_Escape);
    window->close();
    EXPECT_TRUE(window->isVisible()) << "Escape and the close box leave a run alone";

    QTest::mouseClick(
        window->findChild<QPushButton*>(QString::number(CStopAutomationDlg::InformationButton)),
        Qt::LeftButton);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Information);
    EXPECT_NE(messages.shown[0].text.find("01\tMON\t08:00\tEND\tRUN ( 2 )\n"), std::string::npos);

    QTest::mouseClick(
        window->findChild<QPushButton*>(QString::number(CStopAutomationDlg::StopButton)),
        Qt::LeftButton);
    EXPECT_EQ(stops, 1);
    window->release();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

} // namespace
} // namespace kqvdr
