#include "DialogTesting.h"
#include "Heartbeat.h"
#include "QtSystemTestWindows.h"
#include "ScriptedMessageBoxes.h"
#include "SystemTestWorld.h"

#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace kqvdr {
namespace {

// Run System Test through the program's windows, up to the operator's Stop.
TEST(SystemTestWindowsTest, RunMinimisesAndStopWarnsAndBringsTheMainWindowBack) {
    test::SystemTestWorld world;
    world.writeSequence({{"", "18:00", "RUN", "1"}, {"", "07:00", "SLEEP", "1"}});
    QWidget mainWindow;
    mainWindow.show();
    Heartbeat heartbeat([] {});
    test::ScriptedMessageBoxes messages;
    QtSystemTestWindows windows({&mainWindow, messages, heartbeat, world.clock, world.dir.path(),
                                 [] { return QStringLiteral("KQ-VDR1000 Control"); },
                                 [] { return false; }},
                                {world.state, world.table, world.runner, world.store, world.log,
                                 world.person, world.automation});

    // The identification dialog is accepted as it opens.
    QTimer::singleShot(
        0, [] { QApplication::activeModalWidget()->findChild<QPushButton*>("OK")->click(); });
    windows.runSystemTest();
    ASSERT_TRUE(world.runner.running());
    EXPECT_TRUE(mainWindow.isMinimized());
    ASSERT_NE(windows.progress(), nullptr);
    EXPECT_EQ(windows.progress()->windowTitle(), "KQ-VDR1000 Control - System Test (003-001)");

    test::control<QPushButton>(*windows.progress(), CStopSystemTestDlg::StopButton)->click();
    EXPECT_FALSE(world.runner.running());
    EXPECT_EQ(windows.progress(), nullptr);
    EXPECT_FALSE(mainWindow.isMinimized());
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown[0].caption, "KQ-VDR1000 Control Control - Warning (003-001)");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Exclamation);
}

} // namespace
} // namespace kqvdr
