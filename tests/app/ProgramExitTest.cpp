#include "CAutomationDlg.h"
#include "CHelpWindow.h"
#include "CKQVDR1000ControlApp.h"
#include "CMainFrame.h"
#include "CMonitorDlg.h"
#include "ControlSession.h"
#include "PortFile.h"
#include "PosixSerialDriver.h"
#include "ScriptedMessageBoxes.h"
#include "SerialDriver.h"
#include "SessionWiring.h"
#include "SimulatorHost.h"
#include "TemporaryDirectory.h"

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>

namespace kqvdr {
namespace {

std::vector<QWidget*> visibleWindows() {
    std::vector<QWidget*> windows;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) {
            windows.push_back(window);
        }
    }
    return windows;
}

int monitors() {
    int count = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        count += qobject_cast<CMonitorDlg*>(window) != nullptr ? 1 : 0;
    }
    return count;
}

// The program as main() assembles it, against the simulator on a pseudo-terminal.
struct ProgramWorld {
    test::TemporaryDirectory dir;
    sim::SimulatorHost instrument{sim::SimulatorOptions{}};
    CKQVDR1000ControlApp app{CommandLine{}, dir.path().string()};
    test::ScriptedMessageBoxes messages;
    CMainFrame frame{app, messages};
    std::unique_ptr<ControlSession> session;

    ProgramWorld() {
        writePortFile(dir.path(), "COM 1");
        session = std::make_unique<ControlSession>(
            ControlSession::Settings{dir.path(), instrument.slavePath().toStdString()}, messages,
            [this] { return app.title(); }, &frame);
        wireControlSession(*session, frame, messages);
    }
};

// However the operator leaves (the Exit command or the close box), every other window closes
// without bringing the main window back, the poll stops, the log is closed, the port is free for
// another program and the event loop ends with 0.
TEST(ProgramExit, EndsTheProgramWithTheMonitorAndHelpOpen) {
    for (const bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "File > Exit");
        ProgramWorld world;
        ASSERT_TRUE(world.session->start());
        world.frame.show();
        int ticksAtExit = -1;
        QTimer::singleShot(0, &world.frame, [&] {
            world.session->log().startFreshLog();
            world.frame.action(CommandId::Monitor)->trigger();
            world.frame.helpWindow()->show();
            world.frame.action(CommandId::Automation)->trigger();
        });
        QTimer::singleShot(300, &world.frame, [&] {
            EXPECT_EQ(monitors(), 1);
            EXPECT_GE(visibleWindows().size(), 2u);
            ticksAtExit = world.session->heartbeat().ticks();
            if (closeBox) {
                world.frame.close();
            } else {
                world.frame.action(CommandId::Exit)->trigger();
            }
        });
        QTimer failSafe;
        failSafe.setSingleShot(true);
        QObject::connect(&failSafe, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        failSafe.start(10000);

        EXPECT_EQ(QApplication::exec(), 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(visibleWindows().empty());
        EXPECT_EQ(monitors(), 0);
        const int ticks = world.session->heartbeat().ticks();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 300);
        EXPECT_EQ(world.session->heartbeat().ticks(), ticks) << "the poll goes on";
        EXPECT_GT(ticksAtExit, 0);
        EXPECT_FALSE(world.session->log().loggingActive()) << "the log is still open";

        PosixSerialDriver other(PortDevices(world.instrument.slavePath().toStdString()));
        EXPECT_EQ(openPortWithDefaults(other, "COM 1"), 0) << "the port is still held";
        other.ClosePort(kChannel);
    }
}

// A second Automation command brings the open editor forward; opening it leaves a running
// sequence where it is.
TEST(ProgramAutomation, TheCommandKeepsOneEditorAndLeavesTheRunningSequenceAlone) {
    ProgramWorld world;
    world.frame.show();
    const auto editors = [] {
        int count = 0;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            count += qobject_cast<CAutomationDlg*>(window) != nullptr ? 1 : 0;
        }
        return count;
    };
    world.session->automationTable().nextEventIndex = 3;
    world.frame.action(CommandId::Automation)->trigger();
    world.frame.action(CommandId::Automation)->trigger();
    EXPECT_EQ(editors(), 1);
    EXPECT_EQ(world.session->automationTable().nextEventIndex, 3);
}

} // namespace
} // namespace kqvdr
