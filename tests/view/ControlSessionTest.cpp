#include "ControlSession.h"

#include "CGeneralErrDlg.h"
#include "CKQVDR1000ControlView.h"
#include "PortFile.h"
#include "ScriptedMessageBoxes.h"
#include "SimulatorHost.h"
#include "TemporaryDirectory.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace kqvdr {
namespace {

void runEventsFor(int milliseconds, const std::function<bool()>& done = {}) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds && !(done && done())) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

// The program's own session against the simulator served in-process on a pseudo-terminal.
struct SessionWorld {
    test::TemporaryDirectory dir;
    sim::SimulatorHost instrument{sim::SimulatorOptions{}};
    test::ScriptedMessageBoxes messages;
    std::vector<int> exitCodes;
    std::unique_ptr<ControlSession> session;

    SessionWorld() {
        writePortFile(dir.path(), "COM 2");
        session = std::make_unique<ControlSession>(
            ControlSession::Settings{dir.path(), instrument.slavePath().toStdString()}, messages,
            [] { return QStringLiteral("KQ-VDR1000 Control"); }, nullptr);
        session->person().onTerminate = [this](int code) { exitCodes.push_back(code); };
    }
};

TEST(ControlSession, StartsUpAndFollowsTheInstrument) {
    SessionWorld world;
    ASSERT_TRUE(world.session->start());
    EXPECT_EQ(world.session->state().activePort, "COM 2");
    world.instrument.control("speed 50");
    world.instrument.instrument().model().handle(0, std::vector<std::int16_t>{1}); // Run
    InstrumentState& state = world.session->state();
    runEventsFor(8000, [&state] { return state.readyFlag; });
    EXPECT_EQ(state.mode(), 1);
    EXPECT_TRUE(state.readyFlag);
    EXPECT_EQ(state.methods[1].evaporatorTemp, 50) << "method table arrived";
    EXPECT_FALSE(state.notCapable) << "vapour sensitivity answered";
    EXPECT_GT(state.parameters.measured(ParameterIndex::Evaporator), 450);
    EXPECT_TRUE(world.messages.shown.empty());
    EXPECT_TRUE(world.exitCodes.empty());
}

TEST(ControlSession, TicksKeepArrivingInsideAFaultDialogWhichOpensOnlyOnce) {
    SessionWorld world;
    ASSERT_TRUE(world.session->start());
    runEventsFor(1500);
    world.instrument.control("fault GAS");

    int shown = 0;
    int ticksAtOpen = -1;
    int ticksWhileOpen = 0;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<CGeneralErrDlg*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        if (ticksAtOpen < 0) {
            ++shown;
            ticksAtOpen = world.session->heartbeat().ticks();
            return;
        }
        ticksWhileOpen = world.session->heartbeat().ticks() - ticksAtOpen;
        if (ticksWhileOpen >= 15) {
            dialog->findChild<QPushButton*>(QStringLiteral("clearError"))->click();
            ticksAtOpen = -2; // closed by us; a second opening would count again
        }
    });
    watcher.start(50);
    InstrumentState& state = world.session->state();
    runEventsFor(10000, [&state] { return state.lastErrorCode == "GAS"; });
    runEventsFor(1500);

    EXPECT_EQ(shown, 1);
    EXPECT_GE(ticksWhileOpen, 15) << "the heartbeat kept going inside the dialog";
    EXPECT_EQ(state.lastErrorCode, "GAS");
    EXPECT_EQ(state.mode(), 0) << "the instrument returned to Standby after the clear";
}

} // namespace
} // namespace kqvdr
