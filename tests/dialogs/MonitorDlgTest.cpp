#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include "CMonitorDlg.h"
#include "InstrumentState.h"
#include "MonitorReadings.h"

namespace kqvdr {
namespace {

TEST(MonitorReadings, ShowWholeDegreesGasAndOutputAsTheMonitorWants) {
    InstrumentState state;
    state.parameters[ParameterIndex::Evaporator].measured = 1529;
    state.parameters[ParameterIndex::Nebuliser].measured = -15;
    state.parameters[ParameterIndex::Exhaust].measured = 998;
    state.parameters[ParameterIndex::GasFlow].measured = 45;
    state.parameters[ParameterIndex::DetectorOutput].measured = -3;
    state.parameters[ParameterIndex::OperatingMode].measured = 1;
    state.readyFlag = true;
    MonitorReadings r = monitorReadings(state);
    EXPECT_EQ(r.mode, "Run (ok)");
    EXPECT_EQ(r.evaporator, "152 C");
    EXPECT_EQ(r.nebuliser, "-1 C");
    EXPECT_EQ(r.exhaust, "99 C");
    EXPECT_EQ(r.gasFlow, "4.5 SLM");
    EXPECT_EQ(r.output, "-3 mV");
    state.fineGasResolution = true;
    EXPECT_EQ(monitorReadings(state).gasFlow, "0.45 SLM");
}

TEST(MonitorDlg, BlinksTheModeAndRefreshesEveryOtherSecond) {
    int refills = 0;
    MonitorReadings readings{"Gas Save", "1 C", "2 C", "3 C", "0.1 SLM", "4 mV"};
    CMonitorDlg monitor(
        [&] {
            ++refills;
            return readings;
        },
        QStringLiteral("KQ-VDR1000 Control (COM 1)"));
    auto* mode = monitor.findChild<QLabel*>(QString::number(CMonitorDlg::ModeValue));
    auto* output = monitor.findChild<QLabel*>(QString::number(CMonitorDlg::OutputValue));
    EXPECT_EQ(monitor.windowTitle(), QStringLiteral("KQ-VDR1000 Control (COM 1) - Monitor"));
    EXPECT_EQ(mode->text(), QStringLiteral("Gas Save"));
    readings.output = "9 mV";
    monitor.timerStep();
    EXPECT_TRUE(mode->text().isEmpty());
    EXPECT_EQ(output->text(), QStringLiteral("4 mV")) << "readings wait for the next refresh";
    monitor.timerStep();
    EXPECT_EQ(mode->text(), QStringLiteral("Gas Save"));
    EXPECT_EQ(output->text(), QStringLiteral("9 mV"));
    EXPECT_EQ(refills, 2);
}

TEST(MonitorDlg, ReturnButtonAsksForTheMainWindowBack) {
    auto* monitor = new CMonitorDlg([] { return MonitorReadings{}; }, QStringLiteral("T"));
    QSignalSpy back(monitor, &CMonitorDlg::returnRequested);
    monitor->show();
    monitor->findChild<QPushButton*>()->click();
    EXPECT_EQ(back.count(), 1);
}

} // namespace
} // namespace kqvdr
