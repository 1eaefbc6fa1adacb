#include "FaultKind.h"
#include "InstrumentState.h"
#include "LiveValues.h"
#include "MethodChecks.h"
#include "PeerAddress.h"
#include "SerialCheck.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <variant>

namespace kqvdr::remote {
namespace {

TEST(LiveValues, ModeNamesMatchTheWireCodesAndEverythingElseIsError) {
    const struct {
        int code;
        const char* name;
    } cases[] = {{0, "STANDBY"}, {1, "RUN"},   {2, "GAS SAVE"},
                 {3, "SLEEP"},   {4, "ERROR"}, {-1, "ERROR"}};
    for (const auto& c : cases) {
        EXPECT_EQ(modeName(c.code), c.name) << c.code;
    }
    for (int code = 0; code < 4; ++code) {
        EXPECT_EQ(modeCode(modeName(code)), code);
    }
    for (const char* name : {"ERROR", "Run", "run", "GAS  SAVE", ""}) {
        EXPECT_FALSE(modeCode(name).has_value()) << name;
    }
}

TEST(LiveValues, ReadingsAreExactlyThePanelsDecimalsInItsUnitsAndGasFlowFollowsTheRange) {
    InstrumentState state;
    ParameterTable& p = state.parameters;
    p[ParameterIndex::Evaporator].measured = 453;
    p[ParameterIndex::Nebuliser].measured = 401;
    p[ParameterIndex::Exhaust].measured = 329;
    p[ParameterIndex::TransferLine].setpoint = 120;
    p[ParameterIndex::TransferLine].measured = 999; // not shown by the panel
    p[ParameterIndex::GasFlow].measured = 15;
    p[ParameterIndex::DetectorOutput].measured = -3;
    p[ParameterIndex::MethodNumber].measured = 7;
    p[ParameterIndex::OperatingMode].measured = 2;
    state.readyFlag = true;

    LiveValues values = liveValuesOf(state);
    EXPECT_EQ(values.mode, "GAS SAVE");
    EXPECT_TRUE(values.ready);
    EXPECT_EQ(values.evaporatorTemperature, 45.3);
    EXPECT_EQ(values.nebuliserTemperature, 40.1);
    EXPECT_EQ(values.exhaustTemperature, 32.9);
    EXPECT_DOUBLE_EQ(values.transferLineTemperature, 120.0);
    EXPECT_EQ(values.gasFlow, 1.5);
    EXPECT_DOUBLE_EQ(values.detectorOutput, -3.0);
    EXPECT_EQ(values.methodNumber, 7);
    EXPECT_EQ(values.fault, "");

    state.fineGasResolution = true;
    p[ParameterIndex::GasFlow].measured = 45;
    EXPECT_EQ(liveValuesOf(state).gasFlow, 0.45);
}

TEST(LiveValues, TheFaultIsTheCodeOfTheOpenDialogWithoutItsPadding) {
    for (const FaultKind& kind : faultKinds()) {
        InstrumentState state;
        FaultDialogFlags& flags = state.faultDialogs[static_cast<std::size_t>(kind.dialog)];
        flags.showing = true;
        flags.deviceError = kind.deviceError;
        std::string expected(kind.clearedCode);
        while (!expected.empty() && expected.back() == ' ') {
            expected.pop_back();
        }
        EXPECT_EQ(liveValuesOf(state).fault, expected) << kind.heading;
        EXPECT_FALSE(expected.empty());
    }
}

TEST(MethodChecks, TheEditorsLimitsHoldAndTheFirstBrokenFieldIsNamed) {
    const RemoteMethod good{4, "Name", "Text", 60, 40, 50, 1.2, 5, 1};
    const auto checked = checkedMethod(good, false, "F/Command/StoreMethod");
    ASSERT_TRUE(std::holds_alternative<MethodRecord>(checked));
    const MethodRecord& record = std::get<MethodRecord>(checked);
    EXPECT_EQ(record.evaporatorTemp, 60);
    EXPECT_EQ(record.gasFlow, 12) << "tenths of SLM";
    EXPECT_EQ(record.name, "Name");

    const struct {
        const char* parameter;
        RemoteMethod method;
        bool fine;
    } broken[] = {
        {"MethodNumber", {0, "", "", 60, 40, 50, 1.2, 5, 1}, false},
        {"MethodNumber", {11, "", "", 60, 40, 50, 1.2, 5, 1}, false},
        {"EvaporatorTemperature", {1, "", "", 29, 40, 50, 1.2, 5, 1}, false},
        {"EvaporatorTemperature", {1, "", "", 301, 40, 50, 1.2, 5, 1}, false},
        {"NebuliserTemperature", {1, "", "", 300, 221, 50, 1.2, 5, 1}, false},
        {"TransferLineTemperature", {1, "", "", 300, 220, 29, 1.2, 5, 1}, false},
        {"AutozeroOffset", {1, "", "", 300, 220, 220, 1.2, 11, 1}, false},
        {"AutozeroOffset", {1, "", "", 300, 220, 220, 1.2, -1, 1}, false},
        {"TimeConstant", {1, "", "", 300, 220, 220, 1.2, 10, 4}, false},
        {"GasFlow", {1, "", "", 300, 220, 220, 2.1, 10, 3}, false},
        {"GasFlow", {1, "", "", 300, 220, 220, 0.0, 10, 3}, false},
        {"GasFlow", {1, "", "", 300, 220, 220, 1.25, 10, 3}, false},
        {"GasFlow", {1, "", "", 300, 220, 220, 1.5, 10, 3}, true},
        {"GasFlow", {1, "", "", 300, 220, 220, 0.04, 10, 3}, true},
        {"GasFlow", {1, "", "", 300, 220, 220, std::nan(""), 10, 3}, false},
        {"GasFlow",
         {1, "", "", 300, 220, 220, std::numeric_limits<double>::infinity(), 10, 3},
         false},
        {"Name", {1, std::string(256, 'x'), "", 300, 220, 220, 1.0, 10, 3}, false},
        {"EvaporatorTemperature",
         {1, "", "", std::numeric_limits<std::int64_t>::max(), 40, 50, 1.2, 5, 1},
         false},
    };
    for (const auto& c : broken) {
        const auto result = checkedMethod(c.method, c.fine, "F/Command/StoreMethod");
        ASSERT_TRUE(std::holds_alternative<SilaFailure>(result)) << c.parameter;
        const SilaFailure& failure = std::get<SilaFailure>(result);
        EXPECT_EQ(failure.kind, SilaFailure::Kind::Validation);
        EXPECT_EQ(failure.identifier,
                  std::string("F/Command/StoreMethod/Parameter/") + c.parameter);
    }
}

TEST(MethodChecks, TheFineRangeTakesHundredthsAtItsLimits) {
    for (const double slm : {0.05, 0.37, 1.0}) {
        const auto result =
            checkedMethod({1, "", "", 30, 30, 30, slm, 0, 0}, true, "F/Command/StoreMethod");
        ASSERT_TRUE(std::holds_alternative<MethodRecord>(result)) << slm;
        EXPECT_EQ(std::get<MethodRecord>(result).gasFlow, static_cast<int>(std::lround(slm * 100)));
    }
}

TEST(PeerAddress, KeepsTheClientsAddressWithoutSchemeOrPort) {
    const struct {
        const char* peer;
        const char* address;
    } cases[] = {
        {"ipv4:192.168.1.20:53122", "192.168.1.20"},
        {"ipv6:[::1]:53122", "::1"},
        {"ipv6:[fe80::1%eth0]:1", "fe80::1%eth0"},
        {"unix:/tmp/socket", "unix:/tmp/socket"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(peerAddress(c.peer), c.address) << c.peer;
    }
}

TEST(SerialCheck, TakesOnlyTheDialogsTwoForms) {
    for (const char* good : {"003-042", "M03-000", "003-999"}) {
        EXPECT_TRUE(isTestSerialNumber(good)) << good;
    }
    for (const char* bad : {"003_042", "m03-042", "003-42", "003-0420", "004-042", "003-04a", ""}) {
        EXPECT_FALSE(isTestSerialNumber(bad)) << bad;
    }
}

} // namespace
} // namespace kqvdr::remote
