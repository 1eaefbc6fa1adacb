#include "LogLine.h"

#include "CommaDecimalLocale.h"
#include "InstrumentState.h"
#include "TemporaryDirectory.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

namespace kqvdr {
namespace {

constexpr LocalTime kQuarterPast{2026, 12, 8, 10, 0, 15, 2};

InstrumentState runningInstrument() {
    InstrumentState state;
    ParameterTable& p = state.parameters;
    p[ParameterIndex::Nebuliser].setpoint = 40;
    p[ParameterIndex::Evaporator].setpoint = 50;
    p[ParameterIndex::TransferLine].setpoint = 60;
    p[ParameterIndex::GasFlow].setpoint = 15;
    p[ParameterIndex::Nebuliser].measured = 398;
    p[ParameterIndex::Evaporator].measured = 501;
    p[ParameterIndex::GasFlow].measured = 14;
    p[ParameterIndex::DetectorOutput].measured = 123;
    p[ParameterIndex::Exhaust].measured = 255;
    p[ParameterIndex::OperatingMode].measured = 1;
    p[ParameterIndex::MethodNumber].measured = 3;
    state.readyFlag = true;
    state.heaterOnFlag = true;
    return state;
}

struct LineCase {
    const char* name;
    void (*change)(InstrumentState&);
    const char* fileLine;
    const char* displayLine;
};

const LineCase kLineCases[] = {
    {"standard gas", [](InstrumentState&) {},
     "10:00:15 40 50 60 1.5 39.8 50.1 1.4 0.12 25.5 RUN T F T 3  -  \r\n",
     "10:00:15   40   50   60   1.5   39.8   50.1   1.4   0.12   25.5   RUN        T   F   T   3"
     "   - "},
    {"fine gas",
     [](InstrumentState& s) {
         s.fineGasResolution = true;
         s.parameters[ParameterIndex::GasFlow].setpoint = 50;
         s.parameters[ParameterIndex::GasFlow].measured = 47;
     },
     "10:00:15 40 50 60 0.50 39.8 50.1 0.47 0.12 25.5 RUN T F T 3  -  \r\n",
     "10:00:15   40   50   60  0.50   39.8   50.1  0.47   0.12   25.5   RUN        T   F   T   3"
     "   - "},
    {"negative readings and gas save",
     [](InstrumentState& s) {
         s.parameters[ParameterIndex::DetectorOutput].measured = -3;
         s.parameters[ParameterIndex::Nebuliser].measured = -15;
         s.parameters[ParameterIndex::OperatingMode].measured = 2;
         s.readyFlag = false;
         s.busyFlag = true;
     },
     "10:00:15 40 50 60 1.5 -1.5 50.1 1.4 -0.00 25.5 GAS_SAVE F T T 3  -  \r\n",
     "10:00:15   40   50   60   1.5   -1.5   50.1   1.4  -0.00   25.5   GAS SAVE   F   T   T   3"
     "   - "},
};

TEST(LogLine, FieldsAreWrittenByteForByte) {
    for (const LineCase& c : kLineCases) {
        InstrumentState state = runningInstrument();
        c.change(state);
        LogLineFormatter formatter;
        const LogLine line = formatter.format(state, kQuarterPast);
        EXPECT_EQ(line.fileLine, c.fileLine) << c.name;
        EXPECT_EQ(line.displayLine, c.displayLine) << c.name;
    }
}

TEST(LogLine, UnknownModeLeavesTheFieldEmptyAndTheDisplayKeepsThePreviousWord) {
    InstrumentState state = runningInstrument();
    LogLineFormatter formatter;
    state.parameters[ParameterIndex::OperatingMode].measured = 6;
    const LogLine first = formatter.format(state, kQuarterPast);
    EXPECT_NE(first.fileLine.find(" 25.5  T F T "), std::string::npos) << first.fileLine;
    EXPECT_NE(first.displayLine.find("25.5              T"), std::string::npos)
        << "no word before the first known mode: " << first.displayLine;

    state.parameters[ParameterIndex::OperatingMode].measured = 3;
    EXPECT_NE(formatter.format(state, kQuarterPast).fileLine.find(" SLEEP "), std::string::npos);
    state.parameters[ParameterIndex::OperatingMode].measured = 5;
    const LogLine after = formatter.format(state, kQuarterPast);
    EXPECT_NE(after.fileLine.find(" 25.5  T F T "), std::string::npos) << after.fileLine;
    EXPECT_NE(after.displayLine.find("  SLEEP      T"), std::string::npos) << after.displayLine;
}

// The C library's own "%.Nf" in the "C" locale is what the analysis expects to read back.
TEST(LogLine, DecimalsMatchTheCLibraryAcrossTheInstrumentsRange) {
    ASSERT_NE(std::setlocale(LC_NUMERIC, "C"), nullptr);
    const float factors[] = {0.1f, 0.01f, 0.001f};
    for (int value = -32768; value <= 32767; value += 7) {
        for (const float factor : factors) {
            const double product = static_cast<double>(static_cast<float>(value) * factor);
            for (int decimals = 1; decimals <= 2; ++decimals) {
                char expected[64];
                std::snprintf(expected, sizeof expected, "%.*f", decimals, product);
                ASSERT_EQ(fileDecimal(product, decimals), expected) << value << " " << factor;
            }
        }
    }
}

TEST(LogLine, CommaDecimalLocaleStillWritesPoints) {
    LogLine line;
    {
        test::CommaDecimalLocale german;
        ASSERT_TRUE(german.active()) << "localedef and the de_DE source are needed";
        char screen[16];
        std::snprintf(screen, sizeof screen, "%.1f", 25.5);
        EXPECT_STREQ(screen, "25,5") << "the locale is really in force";

        LogLineFormatter formatter;
        line = formatter.format(runningInstrument(), kQuarterPast);
    }
    EXPECT_EQ(line.fileLine, kLineCases[0].fileLine);
    EXPECT_EQ(line.displayLine, kLineCases[0].displayLine);
}

TEST(LogLine, HeadingsStandOverTheirColumns) {
    const auto headings = displayHeadings();
    const std::string line = kLineCases[0].displayLine;
    ASSERT_EQ(headings[1].size(), line.size());
    // Right-aligned values end where their heading ends; the time and mode word start with it.
    const auto endOf = [](const std::string& text, const char* word) {
        return text.find(word) + std::strlen(word);
    };
    EXPECT_EQ(headings[1].find("Time"), 0u);
    EXPECT_EQ(endOf(headings[1], "Photo"), endOf(line, "0.12"));
    EXPECT_EQ(headings[1].find("Mode"), line.find("RUN"));
    EXPECT_EQ(headings[0].find("Setpoints") / 10, 1u) << headings[0];
    EXPECT_EQ(headings[0].find("Status") / 10, 7u) << headings[0];
}

} // namespace
} // namespace kqvdr
