#include "CKQVDR1000ControlApp.h"
#include "CMainFrame.h"
#include "CSaveLogDlg.h"
#include "CViewLogDlg.h"
#include "ControlSession.h"
#include "DialogTesting.h"
#include "RecentLines.h"
#include "ScriptedMessageBoxes.h"
#include "SessionWiring.h"
#include "TemporaryDirectory.h"

#include <QAction>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace kqvdr {
namespace {

using test::control;

QStringList listed(const CViewLogDlg& viewer) {
    QStringList lines;
    for (int i = 0; i < viewer.list()->count(); ++i) {
        lines << viewer.list()->item(i)->text();
    }
    return lines;
}

QStringList numbered(int first, int last) {
    QStringList lines;
    for (int n = first; n <= last; ++n) {
        lines << QStringLiteral("line %1").arg(n);
    }
    return lines;
}

void store(RecentLines& ring, int first, int last) {
    for (const QString& line : numbered(first, last)) {
        ring.store(line.toStdString());
    }
}

TEST(SaveLogDlg, OffersTheDefaultNameAndExtensionsAndJoinsAChosenDirectory) {
    CSaveLogDlg dialog(QStringLiteral("KQ-VDR1000 Control"), QStringLiteral("/home/tester"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("KQ-VDR1000 Control - Save Operational Log"));
    EXPECT_TRUE(dialog.findChild<QLabel*>()->text().startsWith(
        QStringLiteral("Please specify the path and file name that you wish to\nsave the current "
                       "operational log to :- ")));
    auto* path = control<QLineEdit>(dialog, CSaveLogDlg::PathEdit);
    auto* name = control<QLineEdit>(dialog, CSaveLogDlg::FileNameEdit);
    auto* extensions = control<QComboBox>(dialog, CSaveLogDlg::ExtensionList);
    EXPECT_EQ(path->text(), QStringLiteral("/home/tester"));
    EXPECT_EQ(name->text(), QStringLiteral("My VDR Log"));
    ASSERT_EQ(extensions->count(), 3);
    EXPECT_EQ(extensions->itemText(0), QStringLiteral(".wri "));
    EXPECT_EQ(extensions->itemText(1), QStringLiteral(".txt"));
    EXPECT_EQ(extensions->itemText(2), QStringLiteral(".log"));
    EXPECT_EQ(extensions->currentIndex(), 0);

    QString startedAt;
    dialog.setDirectoryChooser([&startedAt](QWidget*, const QString& start) {
        startedAt = start;
        return QStringLiteral("/data/logs");
    });
    auto* browse = dialog.findChild<QToolButton*>(QStringLiteral("browse"));
    ASSERT_NE(browse, nullptr);
    browse->click();
    EXPECT_EQ(startedAt, QStringLiteral("/home/tester"));
    EXPECT_EQ(path->text(), QStringLiteral("/data/logs"));
    test::button(dialog, "save")->click();
    EXPECT_TRUE(dialog.accepted);
    EXPECT_EQ(dialog.choice().fullPath, "/data/logs/My VDR Log.wri");
}

TEST(SaveLogDlg, CancelIsNotAccepted) {
    CSaveLogDlg dialog(QStringLiteral("T"), QStringLiteral("/"));
    control<QComboBox>(dialog, CSaveLogDlg::ExtensionList)->setCurrentIndex(2);
    test::button(dialog, "cancel")->click();
    EXPECT_FALSE(dialog.choice().accepted);
}

TEST(ViewLogDlg, OpensWithTheRingOldestFirstUnderHeadingsInAFixedPitchFont) {
    struct Case {
        int written;
        int first;
    };
    test::ScriptedMessageBoxes messages;
    for (const Case c : {Case{5, 1}, Case{130, 11}}) {
        RecentLines ring;
        store(ring, 1, c.written);
        CViewLogDlg viewer(ring, QStringLiteral("KQ-VDR1000 Control"), messages);
        EXPECT_EQ(listed(viewer), numbered(c.first, c.written)) << c.written;
        EXPECT_EQ(viewer.windowTitle(),
                  QStringLiteral("KQ-VDR1000 Control - View Operational Log"));
        EXPECT_TRUE(QFontInfo(viewer.list()->font()).fixedPitch());
        auto* headings = viewer.findChild<QLabel*>(QStringLiteral("headings"));
        ASSERT_NE(headings, nullptr);
        EXPECT_TRUE(QFontInfo(headings->font()).fixedPitch());
        EXPECT_TRUE(headings->text().contains(QStringLiteral("Photo")));
        EXPECT_TRUE(viewer.refreshing());
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST(ViewLogDlg, EachRefreshAppendsOnlyTheNewestLine) {
    RecentLines ring;
    store(ring, 1, 3);
    test::ScriptedMessageBoxes messages;
    CViewLogDlg viewer(ring, QStringLiteral("T"), messages);
    viewer.refresh();
    EXPECT_EQ(viewer.list()->count(), 3) << "nothing new";
    store(ring, 4, 5); // a half-minute line and a fault line within one refresh period
    viewer.refresh();
    viewer.refresh();
    EXPECT_EQ(listed(viewer), (QStringList{"line 1", "line 2", "line 3", "line 5"}));

    // A new log resets the ring; the viewer keeps its lines and appends the new ones.
    ring.prepareForNewLog();
    viewer.refresh();
    ring.store("new 1");
    viewer.refresh();
    EXPECT_EQ(listed(viewer).last(), QStringLiteral("new 1"));
    EXPECT_EQ(viewer.list()->count(), 5);
}

TEST(ViewLogDlg, KeepsTheListWithinItsCap) {
    RecentLines ring;
    test::ScriptedMessageBoxes messages;
    store(ring, 1, 100);
    CViewLogDlg viewer(ring, QStringLiteral("T"), messages, nullptr, 50);
    EXPECT_EQ(listed(viewer), numbered(51, 100));
    for (int n = 101; n <= 102; ++n) {
        ring.store("line " + std::to_string(n));
        viewer.refresh();
    }
    EXPECT_EQ(listed(viewer), numbered(53, 102));
}

// The Log menu of the running program's frame, with its session (the port is never opened).
struct LogMenuWorld {
    test::TemporaryDirectory dir;
    test::ScriptedMessageBoxes messages;
    CKQVDR1000ControlApp app{CommandLine{}, dir.path().string()};
    CMainFrame frame{app, messages};
    ControlSession session{{dir.path(), std::string("/dev/null")},
                           messages,
                           [] { return QStringLiteral("KQ-VDR1000 Control"); },
                           &frame};

    LogMenuWorld() { wireControlSession(session, frame, messages); }
    void trigger(CommandId id) { frame.action(id)->trigger(); }
};

TEST(LogMenu, ViewCurrentLogTwiceKeepsOneViewer) {
    LogMenuWorld world;
    world.trigger(CommandId::ViewCurrentLog);
    world.trigger(CommandId::ViewCurrentLog);
    EXPECT_EQ(world.frame.findChildren<CViewLogDlg*>().size(), 1);
    world.frame.findChild<CViewLogDlg*>()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(world.frame.findChildren<CViewLogDlg*>().isEmpty());
    world.trigger(CommandId::ViewCurrentLog);
    EXPECT_EQ(world.frame.findChildren<CViewLogDlg*>().size(), 1) << "a closed viewer is made anew";
}

TEST(LogMenu, SaveCurrentLogCopiesToTheDirectoryChosenInItsDialog) {
    LogMenuWorld world;
    world.trigger(CommandId::StartLogging);
    ASSERT_TRUE(world.session.log().loggingActive());
    world.session.log().writeLine();
    const auto saved = world.dir.file("saved");
    std::filesystem::create_directory(saved);

    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<CSaveLogDlg*>(QApplication::activeModalWidget());
        if (dialog != nullptr) {
            control<QLineEdit>(*dialog, CSaveLogDlg::PathEdit)
                ->setText(QString::fromStdString(saved.string()));
            control<QComboBox>(*dialog, CSaveLogDlg::ExtensionList)->setCurrentIndex(1);
            test::button(*dialog, "save")->click();
        }
    });
    answer.start(20);
    world.trigger(CommandId::SaveCurrentLog);
    EXPECT_FALSE(world.session.log().loggingActive());
    EXPECT_EQ(test::readBytes(saved / "My VDR Log.txt"),
              test::readBytes(world.dir.file("vdr_com1.log")));
    EXPECT_FALSE(test::readBytes(saved / "My VDR Log.txt").empty());
}

TEST(LogMenu, ClosingTheMainWindowClosesTheLog) {
    LogMenuWorld world;
    world.trigger(CommandId::StartLogging);
    world.trigger(CommandId::StartLogging);
    ASSERT_EQ(world.messages.shown.size(), 2u);
    EXPECT_EQ(world.messages.shown[1].text, "The Operational Log is already active.");
    world.frame.show();
    world.trigger(CommandId::Exit);
    EXPECT_FALSE(world.session.log().loggingActive());
    world.trigger(CommandId::StopLogging);
    EXPECT_EQ(world.messages.shown.size(), 2u) << "nothing left to stop";
}

} // namespace
} // namespace kqvdr
