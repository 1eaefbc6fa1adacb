#include "MethodEditorRules.h"

#include "../methods/MethodWorld.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

constexpr const char* kNoMessage = "";

TEST(MethodEditorRules, WholeNumberFieldsAreClampedToTheirRangeWithTheirMessage) {
    struct Case {
        EditorField field; // Number for the method number
        const char* typed;
        int value;
        const char* message;
    };
    const Case cases[] = {
        {EditorField::Number, "11", 10, "Method ID must be in the range 0 to 10"},
        {EditorField::Number, "0", 0, kNoMessage},
        {EditorField::Number, "", 0, kNoMessage},
        {EditorField::Evaporator, "25", 30,
         "Evaporation temperature must be in the range 30 to 300"},
        {EditorField::Evaporator, "", 30, "Evaporation temperature must be in the range 30 to 300"},
        {EditorField::Evaporator, "300", 300, kNoMessage},
        {EditorField::Evaporator, "301", 300,
         "Evaporation temperature must be in the range 30 to 300"},
        {EditorField::Nebuliser, "221", 220,
         "Nebuliser temperature must be in the range 30 to 220"},
        {EditorField::TransferLine, "29", 30,
         "Transfer Line temperature must be in the range 30 to 220"},
        {EditorField::Autozero, "", 0, kNoMessage},
        {EditorField::Autozero, "11", 10, "Autozero Offset must be in the range 0 to 10"},
        {EditorField::TimeConstant, "", 0, kNoMessage},
        {EditorField::TimeConstant, "4", 3, "Time Constant must be in the range 0 to 3"},
    };
    for (const Case& c : cases) {
        const CheckedWhole checked = c.field == EditorField::Number
                                         ? checkMethodNumber(c.typed)
                                         : checkWholeSetpoint(*wholeSetpointRule(c.field), c.typed);
        EXPECT_EQ(checked.value, c.value) << c.typed;
        EXPECT_EQ(checked.message.value_or(""), c.message) << c.typed;
    }
}

TEST(MethodEditorRules, GasFlowIsClampedPerScaleAndTheFineLimitsHaveDifferentMessages) {
    struct Case {
        bool fine;
        const char* typed;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {true, "0.04", "0.05", "Gas Flow Rate must be in the range 0.05 to 1.00"},
        {true, "1.50", "1.00", "Gas Flow Rate must be in the range 0.05 to 1.0"},
        {true, "", "0.05", "Gas Flow Rate must be in the range 0.05 to 1.00"},
        {true, "0.05", "0.05", kNoMessage},
        {true, "1.00", "1.00", kNoMessage},
        {true, "0.7", "0.70", kNoMessage},
        {false, "0.0", "0.1", "Gas Flow Rate must be in the range 0.1 to 2.0"},
        {false, "2.5", "2.0", "Gas Flow Rate must be in the range 0.1 to 2.0"},
        {false, "x", "0.1", "Gas Flow Rate must be in the range 0.1 to 2.0"},
        {false, "1.1", "1.1", kNoMessage},
        {false, "2.0", "2.0", kNoMessage},
    };
    for (const Case& c : cases) {
        const CheckedGasFlow checked = checkGasFlow(c.typed, c.fine);
        EXPECT_EQ(checked.text, c.text) << c.typed;
        EXPECT_EQ(checked.message.value_or(""), c.message) << c.typed;
    }
}

TEST(MethodEditorRules, GasFlowTextBecomesInstrumentUnitsRoundedToTheNearest) {
    struct Case {
        const char* text;
        bool fine;
        int units;
    };
    const Case cases[] = {{"1.1", false, 11}, {"0.07", true, 7},  {"0.29", true, 29},
                          {"0.57", true, 57}, {"2.0", false, 20}, {"abc", false, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(gasFlowUnits(c.text, c.fine), c.units) << c.text;
    }
    EXPECT_EQ(gasFlowText(45, true), "0.45");
    EXPECT_EQ(gasFlowText(11, false), "1.1");
}

TEST(MethodEditorRules, SpinnerWrapsOnlyWhenReleasedAtTheLimitItWasPressedAt) {
    const WrapLimits evaporator{30, 300, 0.5};
    const WrapLimits gasStandard{0.1, 2.0, 0.05};
    const WrapLimits gasFine{0.05, 1.0, 0.005};
    struct Case {
        WrapLimits limits;
        double pressedAt;
        double releasedAt;
        std::optional<double> wrapsTo;
    };
    const Case cases[] = {
        {evaporator, 300, 300, 30},
        {evaporator, 30, 30, 300},
        {evaporator, 299, 300, std::nullopt}, // the arrow reached the limit: no wrap yet
        {evaporator, 300, 299, std::nullopt}, // stepped away from the limit
        {evaporator, 300, 30, std::nullopt},  // held all the way down: stays at the bottom
        {gasStandard, 2.0, 2.0, 0.1},
        {gasStandard, 0.1, 0.1, 2.0},
        {gasFine, 1.0, 1.0, 0.05},
        {gasFine, 0.05, 0.05, 1.0},
    };
    for (const Case& c : cases) {
        const WrapArm armed = armWrap(c.pressedAt, c.limits);
        EXPECT_EQ(wrapOnRelease(armed, c.releasedAt, c.limits), c.wrapsTo)
            << c.pressedAt << " -> " << c.releasedAt;
    }
}

TEST(MethodEditorRules, MethodShownInFieldsReadsBackAsTheSameSetpoints) {
    for (const bool fine : {false, true}) {
        MethodRecord record{7, "Gradient", "Fast", 80, 40, 50, fine ? 45 : 16, 3, 2};
        test::FakeEditor editor;
        showMethodInFields(editor, 7, record, fine);
        EXPECT_EQ(editor.fields[EditorField::Number], "7");
        EXPECT_EQ(editor.fields[EditorField::GasFlow], fine ? "0.45" : "1.6");
        const MethodRecord back = setpointsFromFields(editor, fine);
        EXPECT_EQ(back.evaporatorTemp, 80);
        EXPECT_EQ(back.nebuliserTemp, 40);
        EXPECT_EQ(back.transferLineTemp, 50);
        EXPECT_EQ(back.gasFlow, record.gasFlow);
        EXPECT_EQ(back.autozeroOffset, 3);
        EXPECT_EQ(back.timeConstant, 2);
    }
}

TEST(MethodEditorSend, SendsTheFieldsAndSelectsAndNamesTheMethodUnlessItIsTheCustomOne) {
    struct Case {
        int number;
        bool fine;
        const char* gas;
        std::vector<int> codes;
        int gasWord;
    };
    const Case cases[] = {
        {0, false, "1.1", {31}, 11},
        {4, false, "1.1", {31, 9}, 11},
        {4, true, "0.07", {31, 9}, 7},
    };
    for (const Case& c : cases) {
        test::MethodWorld world;
        world.state.fineGasResolution = c.fine;
        world.state.methods[4].evaporatorTemp = 99;
        world.editor.fields = {{EditorField::Number, std::to_string(c.number)},
                               {EditorField::Name, "Isocratic"},
                               {EditorField::Description, "Water"},
                               {EditorField::Evaporator, "60"},
                               {EditorField::Nebuliser, "40"},
                               {EditorField::TransferLine, "45"},
                               {EditorField::GasFlow, c.gas},
                               {EditorField::Autozero, "2"},
                               {EditorField::TimeConstant, "1"}};
        world.store.sendEditorMethod();
        EXPECT_EQ(world.sentCodes(), c.codes) << c.number;
        const auto frames = world.sent();
        EXPECT_EQ(frames[0].words, (std::vector<int>{c.number, 60, 40, 45, c.gasWord, 2, 1}));
        if (c.number != 0) {
            EXPECT_EQ(frames[1].words, std::vector<int>{c.number});
        }
        EXPECT_EQ(std::filesystem::exists(world.dir.path() / "Names.mtd"), c.number != 0);
        const MethodRecord& record = world.state.methods[static_cast<std::size_t>(c.number)];
        EXPECT_EQ(record.name, "Isocratic");
        // The setpoints come back with the instrument's method table, not from the editor.
        EXPECT_EQ(record.evaporatorTemp, c.number == 4 ? 99 : 0);
    }
}

} // namespace
} // namespace kqvdr
