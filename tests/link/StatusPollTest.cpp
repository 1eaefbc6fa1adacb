#include "PollWorld.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

using test::PollWorld;

TEST(StatusPoll, SweepsOnEveryEleventhTickInAscendingOrderThenVapour) {
    PollWorld world;
    world.ticks(10);
    EXPECT_TRUE(world.sentCodes().empty());
    world.ticks(1);
    const std::vector<int> sweep{17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 33};
    EXPECT_EQ(world.sentCodes(), sweep);
    world.ticks(10);
    EXPECT_TRUE(world.sentCodes().empty());
    world.ticks(1);
    EXPECT_EQ(world.sentCodes(), sweep);
}

TEST(StatusPoll, SweepIsAddressedToTheCurrentIdentification) {
    PollWorld world;
    world.state.parameters[ParameterIndex::DeviceId].measured = 0x2A;
    world.ticks(11);
    ASSERT_FALSE(world.driver.written.empty());
    EXPECT_EQ(world.driver.written[0].substr(1, 2), "2A");
}

struct ReplyCase {
    const char* name;
    int code;
    std::int16_t word;
    PanelText field;
    const char* text;
};

class ReplyTexts : public testing::TestWithParam<ReplyCase> {};

TEST_P(ReplyTexts, ShowTheExactText) {
    PollWorld world;
    world.state.parameters[ParameterIndex::Evaporator].measured = 398;
    world.state.parameters[ParameterIndex::Nebuliser].measured = -15;
    world.panel.gauges[PanelGauge::GasFlow] = 1.2f;
    world.arrive(GetParam().code, {GetParam().word});
    world.ticks(1);
    EXPECT_EQ(world.panel.texts[GetParam().field], GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReplyTexts,
    testing::Values(ReplyCase{"EvaporatorSetpoint", 18, 40, PanelText::Evaporator,
                              "39  (40)  \xC2\xB0"
                              "C"},
                    ReplyCase{"NebuliserTruncatesTowardZero", 19, 30, PanelText::Nebuliser,
                              "-1  (30)  \xC2\xB0"
                              "C"},
                    ReplyCase{"TransferLine", 21, 120, PanelText::TransferLine,
                              "120  \xC2\xB0"
                              "C"},
                    ReplyCase{"GasFlowStandard", 22, 15, PanelText::GasFlow, "1.2 (1.5)  SLM"},
                    ReplyCase{"AutozeroOffset", 29, 5, PanelText::AutozeroOffset, "5  mV"},
                    ReplyCase{"TimeConstantFromStatus", 17, 0x0002, PanelText::TimeConstant,
                              "2  sec"},
                    ReplyCase{"NegativeOutput", 28, -3, PanelText::Output, "-3  mV"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StatusPoll, FineGasFlowTextUsesHundredths) {
    PollWorld world;
    world.arrive(35, {1});
    world.arrive(27, {45});
    world.arrive(22, {50});
    world.ticks(1);
    EXPECT_TRUE(world.state.fineGasResolution);
    EXPECT_EQ(world.panel.gasRanges.back(), true);
    EXPECT_FLOAT_EQ(world.panel.gauges[PanelGauge::GasFlow], 0.45f);
    EXPECT_EQ(world.panel.texts[PanelText::GasFlow], "0.45 (0.50)  SLM");
}

struct MeasuredCase {
    int code;
    ParameterIndex index;
    PanelGauge gauge;
};

TEST(StatusPoll, ReadingsAreStoredAndShownInTenths) {
    const MeasuredCase cases[] = {{20, ParameterIndex::Exhaust, PanelGauge::Exhaust},
                                  {25, ParameterIndex::Evaporator, PanelGauge::Evaporator},
                                  {26, ParameterIndex::Nebuliser, PanelGauge::Nebuliser},
                                  {27, ParameterIndex::GasFlow, PanelGauge::GasFlow}};
    for (const auto& c : cases) {
        PollWorld world;
        world.arrive(c.code, {1234});
        world.ticks(1);
        EXPECT_EQ(world.state.parameters.measured(c.index), 1234) << c.code;
        EXPECT_FLOAT_EQ(world.panel.gauges[c.gauge], 123.4f) << c.code;
    }
}

TEST(StatusPoll, SetpointsAndVapourAreStored) {
    PollWorld world;
    world.state.notCapable = true;
    world.arrive(18, {150});
    world.arrive(19, {100});
    world.arrive(21, {140});
    world.arrive(22, {12});
    world.arrive(29, {3});
    world.arrive(33, {7});
    world.ticks(1);
    const auto& p = world.state.parameters;
    EXPECT_EQ(p.setpoint(ParameterIndex::Evaporator), 150);
    EXPECT_EQ(p.setpoint(ParameterIndex::Nebuliser), 100);
    EXPECT_EQ(p.setpoint(ParameterIndex::TransferLine), 140);
    EXPECT_EQ(p.setpoint(ParameterIndex::GasFlow), 12);
    EXPECT_EQ(p.setpoint(ParameterIndex::AutozeroOffset), 3);
    EXPECT_EQ(p.measured(ParameterIndex::VapourSensitivity), 7);
    EXPECT_FALSE(world.state.notCapable);
}

TEST(StatusPoll, ReadyNeedsBit7AloneAboveTheModeBits) {
    struct Case {
        std::int16_t word;
        bool ready;
        unsigned runColour;
    };
    const Case cases[] = {{0x0091, true, 0x00E600},   // Run, ready
                          {0x0191, false, 0x007EFD},  // bit 8 spoils it
                          {0x0011, false, 0x007EFD},  // Run, not ready
                          {0x0081, false, 0x007EFD}}; // ready bit in Standby
    for (const auto& c : cases) {
        PollWorld world;
        world.arrive(17, {c.word});
        world.ticks(1);
        EXPECT_EQ(world.state.readyFlag, c.ready) << std::hex << c.word;
        EXPECT_EQ(world.panel.colours[Lamp::Run], c.runColour) << std::hex << c.word;
    }
}

TEST(StatusPoll, GasSaveReadyTurnsItsLampGreen) {
    PollWorld world;
    world.arrive(17, {0x00A0});
    world.ticks(1);
    EXPECT_TRUE(world.state.readyFlag);
    EXPECT_EQ(world.panel.colours[Lamp::GasSave], 0x00E600u);
}

TEST(StatusPoll, ModeLampsAreDrawnOnlyWhenTheModeChanges) {
    PollWorld world;
    world.arrive(17, {0x0030}); // Sleep
    world.ticks(1);
    EXPECT_TRUE(world.panel.lamps[Lamp::Sleep]);
    EXPECT_FALSE(world.panel.lamps[Lamp::Standby]);
    const int writes = world.panel.lampWrites[Lamp::Standby];
    world.arrive(17, {0x0030});
    world.ticks(1);
    EXPECT_EQ(world.panel.lampWrites[Lamp::Standby], writes);
}

TEST(StatusPoll, HeaterLampFollowsChangesAndAutozeroLampEveryWord) {
    PollWorld world;
    world.arrive(17, {0x000C});
    world.ticks(1);
    EXPECT_TRUE(world.state.heaterOnFlag);
    EXPECT_TRUE(world.state.busyFlag);
    EXPECT_TRUE(world.panel.lamps[Lamp::TransferLine]);
    const int heaterWrites = world.panel.lampWrites[Lamp::TransferLine];
    const int autozeroWrites = world.panel.lampWrites[Lamp::Autozero];
    world.arrive(17, {0x0008});
    world.ticks(1);
    EXPECT_EQ(world.panel.lampWrites[Lamp::TransferLine], heaterWrites);
    EXPECT_EQ(world.panel.lampWrites[Lamp::Autozero], autozeroWrites + 1);
    EXPECT_FALSE(world.state.busyFlag);
}

TEST(StatusPoll, RunBlinksUntilReadyThenStaysLit) {
    PollWorld world;
    world.arrive(17, {0x0010});
    std::vector<bool> lit;
    for (int i = 0; i < 11; ++i) {
        world.ticks(1);
        lit.push_back(world.panel.lamps[Lamp::Run]);
    }
    // sweepCounter after each tick: 1..10 then 0; lit at 0..4, dark at 6..9, kept at 5 and 10.
    const std::vector<bool> expected{true,  true,  true,  true,  true, false,
                                     false, false, false, false, true};
    EXPECT_EQ(lit, expected);
    world.arrive(17, {0x0090});
    world.ticks(7);
    EXPECT_TRUE(world.panel.lamps[Lamp::Run]);
}

TEST(StatusPoll, ErrorModeDarkensAllModeLampsAndAsksForTheFaultWordEveryTick) {
    PollWorld world;
    world.state.sweepCounter = 1;
    world.arrive(17, {0x0040});
    world.ticks(1);
    for (const Lamp lamp : {Lamp::Standby, Lamp::Run, Lamp::GasSave, Lamp::Sleep}) {
        EXPECT_FALSE(world.panel.lamps[lamp]);
    }
    EXPECT_EQ(world.sentCodes(), std::vector<int>{32});
    world.ticks(1);
    EXPECT_EQ(world.sentCodes(), std::vector<int>{32});
}

TEST(StatusPoll, SleepLayoutIsEnteredAndLeftWithTheReportedMode) {
    PollWorld world;
    for (const std::int16_t word : {0x0030, 0x0030, 0x0040, 0x0010}) {
        world.arrive(17, {word});
        world.ticks(1);
    }
    EXPECT_EQ(world.panel.sleepLayouts, (std::vector<bool>{true, false}));
    EXPECT_FALSE(world.state.sleepLayout);
}

TEST(StatusPoll, MethodNumberShowsItsNamesWhileTheEditorIsClosed) {
    PollWorld world;
    world.state.methods[4].name = "Gradient";
    world.state.methods[4].description = "Water to methanol";
    world.arrive(23, {4});
    world.ticks(1);
    EXPECT_EQ(world.panel.methodShown, 4);
    EXPECT_EQ(world.panel.methodName, "Gradient");

    world.state.editorOpen = true;
    world.arrive(23, {5});
    world.ticks(1);
    EXPECT_EQ(world.panel.methodShown, 4);
    world.state.editorOpen = false;
    world.arrive(23, {11}); // stored, but no method to show
    world.ticks(1);
    EXPECT_EQ(world.panel.methodShown, 4);
    EXPECT_EQ(world.state.parameters.measured(ParameterIndex::MethodNumber), 11);
}

TEST(StatusPoll, MethodTableFillsAllElevenRecordsAndReloadsTheEditor) {
    PollWorld world;
    std::vector<std::int16_t> words;
    for (int i = 0; i < 66; ++i) {
        words.push_back(static_cast<std::int16_t>(100 + i));
    }
    world.state.parameters[ParameterIndex::MethodNumber].measured = 3;
    world.arrive(30, words);
    world.ticks(1);
    EXPECT_EQ(world.state.methods[10].number, 10);
    EXPECT_EQ(world.state.methods[10].evaporatorTemp, 160);
    EXPECT_EQ(world.state.methods[10].timeConstant, 165);
    EXPECT_EQ(world.state.methods[0].gasFlow, 103);
    EXPECT_EQ(world.panel.spinnerValues, (std::vector<double>{0.0, 3.0}));

    world.panel.spinnerValues.clear();
    world.panel.methodNumberField = "0";
    world.arrive(30, words);
    world.ticks(1);
    EXPECT_EQ(world.panel.spinnerValues, (std::vector<double>{1.0, 0.0}));
}

TEST(StatusPoll, InvalidDeviceIdentificationWarnsOnceAndFallsBackToZero) {
    PollWorld world;
    world.arrive(24, {9});
    world.ticks(1);
    EXPECT_EQ(world.state.deviceId(), 9);
    world.arrive(24, {200});
    world.ticks(1);
    world.arrive(24, {200});
    world.ticks(1);
    EXPECT_EQ(world.state.deviceId(), 0);
    ASSERT_EQ(world.person.messages.size(), 1u);
    EXPECT_EQ(world.person.messages[0].text,
              "Device Id 0 will be used as a non-valid Device Id was read");
    EXPECT_EQ(world.person.messages[0].icon, MessageIcon::Exclamation);
}

TEST(StatusPoll, OutputHistoryClearsEverySixtyPointsAndWhenSwitchedOff) {
    PollWorld world;
    world.state.showHistory = true;
    for (int i = 0; i < 60; ++i) {
        world.arrive(28, {static_cast<std::int16_t>(i)});
        world.ticks(1);
    }
    EXPECT_EQ(world.panel.history.size(), 60u);
    world.arrive(28, {99});
    world.ticks(1);
    EXPECT_EQ(world.panel.history, std::vector<float>{99});
    for (int i = 0; i < 60; ++i) {
        world.arrive(28, {1});
        world.ticks(1);
    }
    EXPECT_EQ(world.panel.history.size(), 61u) << "the point with the clear and sixty more";

    world.state.showHistory = false;
    world.arrive(28, {1});
    world.ticks(1);
    EXPECT_TRUE(world.panel.history.empty());
    EXPECT_EQ(world.state.historyPointCount, 0);
}

TEST(StatusPoll, BadFrameIsDroppedWithAResetAndTheRestWaitsForTheNextTick) {
    PollWorld world;
    std::string bad = PollWorld::reply(19, {77});
    bad[bad.size() - 2] = bad[bad.size() - 2] == '0' ? '1' : '0';
    world.driver.queueIncoming(bad + PollWorld::reply(18, {55}));
    world.ticks(1);
    EXPECT_EQ(world.state.parameters.setpoint(ParameterIndex::Nebuliser), 0);
    EXPECT_EQ(world.driver.calls.back(), "ResetReceive");
    world.ticks(1);
    EXPECT_EQ(world.state.parameters.setpoint(ParameterIndex::Evaporator), 55);
}

// At 9600 baud a tick sees part of a reply; the tick in which its end arrives decodes it.
TEST(StatusPoll, AReplySplitAcrossTicksIsDecodedWhenItsEndArrives) {
    PollWorld world;
    const std::string status = PollWorld::reply(17, {0x0010});
    world.state.watchdogCount = 15;
    world.driver.queueIncoming(status.substr(0, 5));
    world.ticks(1);
    EXPECT_EQ(world.state.mode(), 0);
    EXPECT_EQ(world.state.watchdogCount, 16);
    world.driver.queueIncoming(status.substr(5));
    world.ticks(1);
    EXPECT_EQ(world.state.mode(), 1);
    EXPECT_EQ(world.state.watchdogCount, 0);
}

TEST(StatusPoll, AcknowledgementsAreSkipped) {
    PollWorld world;
    world.driver.queueIncoming("\x02"
                               "0000\x06"
                               "C6\x03");
    world.arrive(18, {42});
    world.ticks(1);
    EXPECT_EQ(world.state.parameters.setpoint(ParameterIndex::Evaporator), 42);
}

TEST(StatusPoll, HandsTheTickToTheLogThenAutomationElseSystemTest) {
    PollWorld world;
    world.log.active = true;
    world.automation.active = true;
    world.systemTest.active = true;
    world.ticks(1);
    world.automation.active = false;
    world.ticks(1);
    EXPECT_EQ(world.log.order,
              (std::vector<std::string>{"log", "automation", "log", "systemTest"}));
}

} // namespace
} // namespace kqvdr
