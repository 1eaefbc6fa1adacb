#include "AutomationFile.h"
#include "CAutomationDlg.h"
#include "CMaskEdit.h"
#include "CStopAutomationDlg.h"
#include "DialogTesting.h"
#include "ManualClock.h"
#include "MessageBoxes.h"
#include "ScriptedMessageBoxes.h"
#include "TemporaryDirectory.h"

#include <QComboBox>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
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
    std::string today = "MON";
    QPointer<CAutomationDlg> editor;

    void open() {
        editor = new CAutomationDlg(
            kTitle, messages, programDir, [this] { return today; },
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
    // Types over the whole field as an operator would, leaving the focus in it.
    void type(CMaskEdit* edit, const char* keys) {
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClick(edit, Qt::Key_Home, Qt::ShiftModifier);
        QTest::keyClicks(edit, keys);
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

// Return or Enter presses Ok while the field just typed into still has the focus: the check it
// would get on being left comes first.
TEST(AutomationEditor, ReturnOrEnterInATimeOrMethodFieldChecksTheFieldBeforeOk) {
    const struct {
        const char* name;
        bool timeField;
        const char* typed;
        Qt::Key key;
        const char* message; // none when empty
        const char* time;    // event 1 as started; nothing starts when empty
        const char* method;
    } cases[] = {
        {"a time, Return", true, "0830", Qt::Key_Return, "", "08:30", "1"},
        {"a time, Enter", true, "2215", Qt::Key_Enter, "", "22:15", "1"},
        {"an impossible time", true, "2500", Qt::Key_Return,
         "You have entered an invalid time, please retry.\n\n", "", ""},
        {"a method above ten", false, "12", Qt::Key_Return,
         "Method ID must be in the range 1 to 10", "07:00", "10"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EditorWorld world;
        world.open();
        test::showActive(*world.editor);
        if (!c.timeField) {
            world.leave(world.time(1), QStringLiteral("07:00"));
        }
        CMaskEdit* field = c.timeField ? world.time(1) : world.method(1);
        world.type(field, c.typed);
        QTest::keyClick(field, c.key);

        if (*c.message == '\0') {
            EXPECT_TRUE(world.messages.shown.empty());
        } else {
            ASSERT_EQ(world.messages.shown.size(), 1u);
            EXPECT_EQ(world.messages.shown[0].text, c.message);
        }
        if (*c.time == '\0') {
            EXPECT_TRUE(world.started.empty());
            EXPECT_EQ(world.time(1)->text(), QStringLiteral("##:##"));
            continue;
        }
        ASSERT_EQ(world.started.size(), 1u);
        EXPECT_EQ(world.started[0][0].eventTime, c.time);
        EXPECT_EQ(world.started[0][0].eventMethod, c.method);
        EXPECT_EQ(readAutomationFile(world.programDir).events, world.started[0]);
    }
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

TEST(AutomationEditor, ClearAfterMidnightShowsTheNewDay) {
    EditorWorld world;
    world.open();
    world.today = "TUE"; // the editor stayed open past midnight
    world.press(CAutomationDlg::ClearButton);
    EXPECT_EQ(world.find<QComboBox>(CAutomationDlg::kRowIds[0].day)->currentText(), "TUE");
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

// A stop window over a one-event timetable; Stop Automation's presses are counted.
struct StopWorld {
    explicit StopWorld(MessageBoxes& boxes) {
        table.setTimetable(defaultTimetable());
        table.event(1) = {"MON", "08:00", "RUN", "2"};
        table.event(0) = table.event(1);
        table.currentEventNumber = 1;
        window = new CStopAutomationDlg(table, clock, kTitle, boxes, [this] { ++stops; });
        test::showActive(*window);
    }
    ~StopWorld() { delete window; }
    QPushButton* button(int id) { return test::control<QPushButton>(*window, id); }

    AutomationTable table;
    test::ManualClock clock;
    int stops = 0;
    QPointer<CStopAutomationDlg> window;
};

// An overnight run ends only by a deliberate act on Stop Automation: a click, or Space while it
// has the focus. Return, Enter and Escape leave it running, wherever the focus is.
TEST(StopAutomationWindow, TheLongestEventLineIsShownWhole) {
    AutomationTable table;
    table.setTimetable(defaultTimetable());
    table.event(10) = {"SUN", "23:59", "GAS SAVE", "10"};
    table.event(0) = table.event(10);
    table.currentEventNumber = 10;
    test::ManualClock clock;
    test::ScriptedMessageBoxes messages;
    CStopAutomationDlg window(table, clock, kTitle, messages, [] {});
    window.show();
    auto* list = window.findChild<QListWidget*>(QString::number(CStopAutomationDlg::EventList));
    const QRect shown = list->visualItemRect(list->item(0));
    const int needed = list->fontMetrics().horizontalAdvance(list->item(0)->text());
    EXPECT_LE(needed, list->viewport()->width()) << list->item(0)->text().toStdString();
    EXPECT_GE(shown.width(), needed);
}

TEST(StopAutomationWindow, ReturnEnterAndEscapeLeaveTheRunAndOnlyAClickOrSpaceEndsIt) {
    for (const bool space : {false, true}) {
        SCOPED_TRACE(space ? "Space" : "click");
        test::ScriptedMessageBoxes messages;
        StopWorld world(messages);
        QPushButton* stop = world.button(CStopAutomationDlg::StopButton);
        for (QPushButton* focused : {stop, world.button(CStopAutomationDlg::InformationButton)}) {
            focused->setFocus();
            for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
                QTest::keyClick(focused, key);
                QTest::keyClick(world.window, key);
            }
        }
        EXPECT_EQ(world.stops, 0);
        EXPECT_TRUE(world.window->isVisible());
        EXPECT_TRUE(messages.shown.empty()) << "nor do they open the Information box";

        if (space) {
            stop->setFocus();
            QTest::keyClick(stop, Qt::Key_Space);
        } else {
            QTest::mouseClick(stop, Qt::LeftButton);
        }
        EXPECT_EQ(world.stops, 1);
    }
}

// The timetable can run out in a tick while the operator reads the Information box, whose
// event loop is the one running: the window must outlive its box and go once it is closed.
TEST(StopAutomationWindow, ReleasedWhileItsInformationBoxIsOpenItGoesOnceTheBoxIsClosed) {
    QtMessageBoxes messages;
    StopWorld world(messages);
    bool boxOpen = false;
    bool windowKept = false;
    QTimer::singleShot(100, [&] {
        world.window->release(); // as the tick that finds the timetable used up
        QTimer::singleShot(200, [&] {
            windowKept = !world.window.isNull();
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (auto* box = qobject_cast<QMessageBox*>(top); box && box->isVisible()) {
                    boxOpen = true;
                    box->button(QMessageBox::Ok)->click();
                }
            }
        });
    });
    QTest::mouseClick(world.button(CStopAutomationDlg::InformationButton), Qt::LeftButton);
    EXPECT_TRUE(boxOpen);
    EXPECT_TRUE(windowKept);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(world.window.isNull()) << "released, it goes once the box is closed";
    EXPECT_EQ(world.stops, 0);
}

} // namespace
} // namespace kqvdr
