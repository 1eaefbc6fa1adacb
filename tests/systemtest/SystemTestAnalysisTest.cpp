#include "SystemTestAnalysis.h"

#include "AnalysisOutput.h"
#include "LogRecord.h"
#include "ReferenceTables.h"
#include "ResultLines.h"
#include "TemporaryDirectory.h"
#include "TestLogBuilder.h"
#include "TestSerial.h"
#include "TestVerdicts.h"

#include <array>
#include <cstdio>
#include <gtest/gtest.h>
#include <vector>

namespace kqvdr {
namespace {

using test::TestLogBuilder;
using Line = TestLogBuilder::Line;

constexpr Line kHeating{.ready = "F", .neb = 25.0, .evap = 25.0};
constexpr Line kReady{};

TestResult onlyRow(const std::string& text, bool fine = false) {
    const auto rows = analyseTestLog(text, fine);
    EXPECT_EQ(rows.size(), 1u);
    return rows.empty() ? TestResult{} : rows.front();
}

TEST(ReferenceTablesTest, HoldTheFirstSecondEachCurveReachesADegree) {
    const ReferenceTables tables;
    EXPECT_EQ(tables.nebRise.secondsAt(100), 412);
    EXPECT_EQ(tables.nebRise.secondsAt(41), 5);
    EXPECT_EQ(tables.nebRise.secondsAt(25), 0);  // below where the curve starts
    EXPECT_EQ(tables.nebRise.secondsAt(227), 0); // beyond where it turns back
    EXPECT_EQ(tables.evapRise.secondsAt(300), 1779);
    EXPECT_EQ(tables.nebFall.secondsAt(50), 3767);
    EXPECT_EQ(tables.evapFall.secondsAt(60), 3090);
    // Indices outside a table read its ends instead of memory beyond it.
    EXPECT_EQ(tables.evapRise.secondsAt(400), tables.evapRise.secondsAt(350));
    EXPECT_EQ(tables.nebFall.secondsAt(-5), tables.nebFall.secondsAt(0));
}

struct ResponseCase {
    const char* name;
    int heatingLines; // half minutes with ready "F" before ready "T"
    bool readyAfter;
    bool pass;
    const char* elapsed;
};

class ResponseTest : public ::testing::TestWithParam<ResponseCase> {};

TEST_P(ResponseTest, HeatingSegmentIsJudgedAgainstTheCurvesPlusTwentyMinutes) {
    const ResponseCase& c = GetParam();
    TestLogBuilder log;
    log.add(kHeating, c.heatingLines);
    if (c.readyAfter) {
        log.add(kReady, 10);
    }
    const TestResult row = onlyRow(log.text);
    EXPECT_EQ(row.respStart, "18:00:15");
    EXPECT_EQ(row.respExpected, "0:26:52"); // nebuliser 25 to 100: 412 s, plus 1200
    EXPECT_EQ(row.respElapsed, c.elapsed);
    EXPECT_EQ(row.respPass, c.pass);
}

INSTANTIATE_TEST_SUITE_P(Cases, ResponseTest,
                         ::testing::Values(ResponseCase{"ReadyWithin", 50, true, true, "0:25:00"},
                                           ResponseCase{"ReadyAtFortyMinutes", 80, true, false,
                                                        "0:40:00"},
                                           ResponseCase{"NeverReady", 50, false, false, "0:24:30"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AnalysisTest, StandbyThroughoutPassesResponseAndFailsStability) {
    TestLogBuilder log;
    log.add({.mode = "STANDBY", .ready = "F"}, 20);
    const TestResult row = onlyRow(log.text);
    EXPECT_EQ(row.respStart, "-");
    EXPECT_EQ(row.respElapsed, "0:00:00");
    EXPECT_TRUE(row.respPass);
    EXPECT_FALSE(row.stabEvaluated);
    EXPECT_FALSE(row.stable());
    // The row fails stability, but no record of the log shows any of the tests: nothing passes.
    for (const Verdict verdict : overallVerdicts({row}).verdicts) {
        EXPECT_EQ(verdict, Verdict::NotTested);
    }
}

TEST(AnalysisTest, GasSaveWhileReadyStaysOneStableSegment) {
    TestLogBuilder log;
    log.add(kReady, 4).add({.mode = "GAS_SAVE", .flow = 0.1}, 4);
    const TestResult row = onlyRow(log.text);
    EXPECT_EQ(row.stabStart, "18:00:15");
    EXPECT_EQ(row.stabDuration, "0:03:30"); // to the last record
}

TEST(AnalysisTest, StandbyAfterReadyEndsTheStableSegmentWithItsOwnSamples) {
    TestLogBuilder log;
    log.add({.evap = 80.0})
        .add({.evap = 80.2})
        .add({.mode = "STANDBY", .ready = "F", .neb = 30.0, .evap = 25.0}, 6);
    const TestResult row = onlyRow(log.text);
    EXPECT_EQ(row.stabDuration, "0:01:00");
    EXPECT_DOUBLE_EQ(row.evapMean, 80.1);
    EXPECT_NEAR(row.evapMeanOffset, 0.1, 1e-9);
    // Samples of the standby that follows would make this about 50 %.
    EXPECT_DOUBLE_EQ(row.evapRsd, 0.18);
    EXPECT_TRUE(row.evapOffsetPass && row.evapRsdPass);
}

struct StabilityCase {
    const char* name;
    std::vector<double> nebuliser; // setpoint 100
    double mean;
    double rsd;
    bool offsetPass;
    bool rsdPass;
};

class StabilityTest : public ::testing::TestWithParam<StabilityCase> {};

TEST_P(StabilityTest, LimitsAreInclusive) {
    const StabilityCase& c = GetParam();
    TestLogBuilder log;
    for (const double neb : c.nebuliser) {
        log.add({.neb = neb});
    }
    const TestResult row = onlyRow(log.text);
    EXPECT_TRUE(row.stabEvaluated);
    EXPECT_DOUBLE_EQ(row.nebMean, c.mean);
    EXPECT_DOUBLE_EQ(row.nebRsd, c.rsd);
    EXPECT_EQ(row.nebOffsetPass, c.offsetPass);
    EXPECT_EQ(row.nebRsdPass, c.rsdPass);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StabilityTest,
    ::testing::Values(StabilityCase{"RsdOfExactlyOnePasses", {99, 100, 101}, 100, 1.0, true, true},
                      StabilityCase{"RsdOfTwoFails", {98, 100, 102}, 100, 2.0, true, false},
                      StabilityCase{
                          "OffsetOfExactlyHalfPasses", {100.5, 100.5}, 100.5, 0, true, true},
                      StabilityCase{"OffsetBeyondHalfFails", {100.6, 100.6}, 100.6, 0, false, true},
                      StabilityCase{"OffsetBelowFails", {99.4, 99.4}, 99.4, 0, false, true},
                      StabilityCase{"SingleReadingShowsNoStability", {100}, 100, 0, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct GasCase {
    const char* name;
    bool fine;
    std::vector<double> flows; // setpoint 1.0, or 0.50 on the fine range
    int response;
    bool pass;
};

class GasTest : public ::testing::TestWithParam<GasCase> {};

TEST_P(GasTest, ResponseIsTheLastUnsettledRecordAndItsLimitIsStrict) {
    const GasCase& c = GetParam();
    TestLogBuilder log;
    log.fine = c.fine;
    for (const double flow : c.flows) {
        log.add({.ready = "F", .gasSet = c.fine ? 0.5 : 1.0, .flow = flow});
    }
    const TestResult row = onlyRow(log.text, c.fine);
    EXPECT_EQ(row.gasResponse, c.response);
    EXPECT_EQ(row.gasPass, c.pass);
}

const std::vector<double> kSlowFlows(double settled, int unsettled) {
    std::vector<double> flows(static_cast<std::size_t>(unsettled), 0.5);
    flows.insert(flows.end(), 3, settled);
    return flows;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GasTest,
    ::testing::Values(
        GasCase{"SettlesOneRecordAfterReachingSetpoint", false, {0.9, 1.0, 1.0}, 30, true},
        GasCase{"FirstRecordIsNeverSettled", false, {1.0, 1.0}, 0, true},
        GasCase{"FineFlowWithinAHundredthIsSettled", true, {0.51, 0.50, 0.51}, 0, true},
        GasCase{"FineFlowBeyondAHundredthIsNot", true, {0.50, 0.52, 0.50}, 60, true},
        GasCase{"TwoHundredFortySecondsPasses", false, kSlowFlows(1.0, 8), 240, true},
        GasCase{"TwoHundredSeventySecondsFails", false, kSlowFlows(1.0, 9), 270, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AnalysisTest, GasSaveLateInAStableSegmentFailsTheGasTest) {
    TestLogBuilder log;
    log.add(kReady, 10).add({.mode = "GAS_SAVE", .flow = 0.1}, 3);
    const TestResult row = onlyRow(log.text);
    EXPECT_EQ(row.gasResponse, 300);
    EXPECT_FALSE(row.gasPass);
}

TEST(AnalysisTest, BaselineLimitIsStrict) {
    for (const auto& [detector, pass] : {std::pair{0.14, true}, std::pair{0.15, false}}) {
        TestLogBuilder log;
        log.add(kHeating, 4).add({.detector = detector}, 4);
        const TestResult row = onlyRow(log.text);
        EXPECT_DOUBLE_EQ(row.photoMax, detector);
        EXPECT_EQ(row.baselinePass, pass) << detector;
    }
}

TEST(AnalysisTest, ErrorRecordEndsTheBlockAndLaterRecordsOfItsMethodAreIgnored) {
    TestLogBuilder log;
    log.add(kReady, 3).add({.mode = "ERROR"}).add({.neb = 150}, 5);
    const TestResult row = onlyRow(log.text);
    EXPECT_EQ(row.stabDuration, "0:01:30"); // closed by the ERROR record
    EXPECT_DOUBLE_EQ(row.nebMax, 100.0);
}

TEST(AnalysisTest, BlockStartingInErrorIsARowWithoutData) {
    TestLogBuilder log;
    log.add({.mode = "ERROR", .method = 2}).add(kReady, 3);
    const auto rows = analyseTestLog(log.text, false);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].method, 2);
    EXPECT_EQ(rows[1].nebSet, 0);
    EXPECT_EQ(rows[1].respStart, "-");
    EXPECT_TRUE(rows[1].respPass);
    EXPECT_FALSE(rows[1].stabEvaluated);
    EXPECT_FALSE(rows[1].stable());
    EXPECT_FALSE(rows[1].hasData);
    EXPECT_TRUE(rows[0].hasData);
}

TEST(AnalysisTest, SpanAcrossMidnightCountsForward) {
    TestLogBuilder log(23, 50, 15);
    log.add(kHeating, 40).add(kReady, 4);
    const TestResult row = onlyRow(log.text);
    EXPECT_EQ(row.respStart, "23:50:15");
    EXPECT_EQ(row.respElapsed, "0:20:00");
    EXPECT_TRUE(row.respPass);
}

TEST(AnalysisTest, LastSegmentIsClosedByTheNextMethodsFirstRecord) {
    TestLogBuilder log;
    log.add(kReady, 4).add({.method = 2}, 4);
    const auto rows = analyseTestLog(log.text, false);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].stabDuration, "0:02:00");
    EXPECT_EQ(rows[1].stabDuration, "0:01:30");
}

TEST(AnalysisTest, AllElevenMethodsAreAnalysedInMethodOrder) {
    TestLogBuilder log;
    for (const int method : {10, 3, 0, 7}) {
        log.add({.method = method}, 3);
    }
    const auto rows = analyseTestLog(log.text, false);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].method, 0);
    EXPECT_EQ(rows[3].method, 10);
    EXPECT_TRUE(rows[3].stabEvaluated); // method 10 is judged, not skipped
}

TEST(AnalysisTest, FieldsNoSegmentSetsAreNeutralNotThePreviousMethods) {
    TestLogBuilder log;
    log.add({.detector = 0.12, .method = 1}, 3);
    log.add({.mode = "STANDBY", .ready = "F", .method = 2}, 3);
    const auto rows = analyseTestLog(log.text, false);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_DOUBLE_EQ(rows[1].photoMax, 0);
    EXPECT_DOUBLE_EQ(rows[1].nebMean, 0);
    EXPECT_EQ(rows[1].stabStart, "");
}

struct ReadingCase {
    const char* name;
    std::string damage;
};

class UnreadableLineTest : public ::testing::TestWithParam<ReadingCase> {};

// Method 1, a damaged line inside its block, then method 2: the line is passed over and
// counted, method 1 is marked with it, and both methods keep their rows and verdicts.
TEST_P(UnreadableLineTest, IsSkippedCountedAndMarkedOnItsBlock) {
    const ReadingCase& c = GetParam();
    TestLogBuilder log;
    log.add(kReady, 3).raw(c.damage + "\r\n").add(kReady, 2).add({.method = 2}, 3);
    TestLogBuilder intact;
    intact.add(kReady, 3).add(kReady, 2).add({.method = 2}, 3);

    const LogAnalysis analysis = analyseLog(log.text, false);
    EXPECT_EQ(analysis.unreadableLines, 1u);
    EXPECT_EQ(analysis.firstUnreadableLine, 4u);
    ASSERT_EQ(analysis.rows.size(), 2u);
    EXPECT_EQ(analysis.rows[0].unreadableLines, 1);
    EXPECT_EQ(analysis.rows[1].unreadableLines, 0);
    EXPECT_EQ(analysis.rows[0].nebMean, analyseTestLog(intact.text, false)[0].nebMean);
    EXPECT_EQ(overallVerdicts(analysis.rows).verdicts,
              overallVerdicts(analyseTestLog(intact.text, false)).verdicts);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnreadableLineTest,
    ::testing::Values(
        ReadingCase{"FifteenFields", "18:10:15 100 80 50 1.0 100.0 80.0 1.0 0.05 40.0 RUN T F T"},
        ReadingCase{"LetterForNumber", "18:10:15 100 80 50 1.0 x 80.0 1.0 0.05 40.0 RUN T F T 1 -"},
        ReadingCase{"NotANumber", "18:10:15 100 80 50 1.0 nan 80.0 1.0 0.05 40.0 RUN T F T 1 -"},
        ReadingCase{"BeyondSinglePrecision",
                    "18:10:15 100 80 50 1.0 1e308 80.0 1.0 0.05 40.0 RUN T F T 1 -"},
        ReadingCase{"BeyondAnInstrumentWord",
                    "18:10:15 100 80 50 1.0 40000.0 80.0 1.0 0.05 40.0 RUN T F T 1 -"},
        ReadingCase{"NoTimeOfDay", "25:61:99 100 80 50 1.0 100.0 80.0 1.0 0.05 40.0 RUN T F T 1 -"},
        ReadingCase{"NegativeTime",
                    "-1:-1:-1 100 80 50 1.0 100.0 80.0 1.0 0.05 40.0 RUN T F T 1 -"},
        ReadingCase{"TimeLongerThanItsBuffer",
                    "18:10:15:000 100 80 50 1.0 100.0 80.0 1.0 0.05 40.0 RUN T F T 1 -"},
        ReadingCase{"BlockOfNuls", std::string(200, '\0')},
        ReadingCase{"MethodBeyondAWord",
                    "18:10:15 100 80 50 1.0 100.0 80.0 1.0 0.05 40.0 RUN T F T 70000 -"}),
    [](const auto& info) { return std::string(info.param.name); });

// A log copied through other systems: LF or a lone CR for CR LF, a byte-order mark in front.
TEST(AnalysisTest, LineEndsAndAByteOrderMarkCostNoRecord) {
    TestLogBuilder log;
    log.add(kHeating, 10).add(kReady, 6).add({.method = 2}, 4);
    const auto expected = analyseTestLog(log.text, false);
    ASSERT_EQ(expected.size(), 2u);
    const auto withEnds = [&log](const std::string& end) {
        std::string text;
        for (const char c : log.text) {
            if (c == '\n') {
                text.pop_back(); // the CR
                text += end;
            } else {
                text += c;
            }
        }
        return text;
    };
    for (const std::string& text : {withEnds("\n"), withEnds("\r"), "\xEF\xBB\xBF" + log.text,
                                    "\xEF\xBB\xBF" + withEnds("\r")}) {
        const LogAnalysis analysis = analyseLog(text, false);
        EXPECT_EQ(analysis.unreadableLines, 0u);
        ASSERT_EQ(analysis.rows.size(), 2u);
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(analysis.rows[i].method, expected[i].method);
            EXPECT_EQ(analysis.rows[i].respElapsed, expected[i].respElapsed);
            EXPECT_EQ(analysis.rows[i].stabDuration, expected[i].stabDuration);
            EXPECT_EQ(analysis.rows[i].nebMean, expected[i].nebMean);
        }
    }
}

TEST(AnalysisTest, ALongLineThatConvertsIsARecordAndBlankLinesAreNothing) {
    TestLogBuilder log;
    log.add(kReady, 3).raw("18:01:45 100 80 50" + std::string(80, ' ') +
                           "1.0 100.0 80.0 1.0 0.05 40.0 RUN T F T 1  -  \r\n\r\n   \r\n");
    const LogAnalysis analysis = analyseLog(log.text, false);
    EXPECT_EQ(analysis.unreadableLines, 0u);
    ASSERT_EQ(analysis.rows.size(), 1u);
    EXPECT_EQ(analysis.rows[0].stabDuration, "0:01:30");
}

TEST(AnalysisTest, LinesLostBeforeABlocksFirstRecordMarkThatBlock) {
    TestLogBuilder log;
    log.raw("garbage\r\n").add(kReady, 2).add({.method = 11}, 1).raw("more garbage\r\n");
    log.add({.method = 2}, 2);
    const LogAnalysis analysis = analyseLog(log.text, false);
    EXPECT_EQ(analysis.unreadableLines, 2u);
    EXPECT_EQ(analysis.firstUnreadableLine, 1u);
    ASSERT_EQ(analysis.rows.size(), 2u);
    EXPECT_EQ(analysis.rows[0].unreadableLines, 1);
    EXPECT_EQ(analysis.rows[1].unreadableLines, 1);
    EXPECT_EQ(unreadableLinesText(analysis),
              "2 lines of the log could not be read and were left out; the first is line 1.");
}

TEST(AnalysisTest, BlocksWithoutEvidenceNeitherPassNorFail) {
    const struct {
        const char* name;
        std::vector<Line> lines;
        std::array<Verdict, kSystemTestCount> verdicts;
    } cases[] = {
        {"stable only: already hot, so nothing to heat, a response without delay",
         {{}, {}},
         {Verdict::Passed, Verdict::Passed, Verdict::Passed, Verdict::Passed}},
        {"a block that began in ERROR beside a tested one adds nothing",
         {{}, {}, {.mode = "ERROR", .method = 2}},
         {Verdict::Passed, Verdict::Passed, Verdict::Passed, Verdict::Passed}},
        {"a block in standby beside a failed one does not hide the failure",
         {{.neb = 90.0}, {.neb = 90.0}, {.mode = "STANDBY", .method = 2}},
         {Verdict::Passed, Verdict::Failed, Verdict::Passed, Verdict::Passed}},
    };
    for (const auto& c : cases) {
        TestLogBuilder log;
        for (const Line& line : c.lines) {
            log.add(line);
        }
        EXPECT_EQ(overallVerdicts(analyseTestLog(log.text, false)).verdicts, c.verdicts) << c.name;
    }
}

// "Not tested" only where the log holds no attempt at all; a test that was attempted and not met
// failed. Each verdict must be what the method rows say, in the dialog lines, the printed table
// and the per-heater pages alike.
TEST(AnalysisTest, EachVerdictIsWhatTheRowsOfItsLogShow) {
    constexpr Line kCold{.ready = "F", .neb = 25.0, .evap = 25.0};
    constexpr Line kDrifting{.neb = 103.0, .evap = 83.0}; // ready, but 3 degrees off
    const struct {
        const char* name;
        std::vector<std::pair<Line, int>> lines;
        std::array<Verdict, kSystemTestCount> verdicts;
        const char* stabilityStatus; // the row's status on either heater's page
    } cases[] = {
        {"all ERROR",
         {{{.mode = "ERROR"}, 20}, {{.mode = "ERROR", .method = 2}, 20}},
         {Verdict::NotTested, Verdict::NotTested, Verdict::NotTested, Verdict::NotTested},
         "-"},
        {"standby only",
         {{{.mode = "STANDBY", .ready = "F", .neb = 25.0, .evap = 25.0}, 120}},
         {Verdict::NotTested, Verdict::NotTested, Verdict::NotTested, Verdict::NotTested},
         "-"},
        {"an hour in Run and never ready",
         {{kCold, 120}},
         {Verdict::Failed, Verdict::Failed, Verdict::Passed, Verdict::Passed},
         "Fail"},
        {"ready but never stable",
         {{kCold, 50}, {kDrifting, 80}},
         {Verdict::Passed, Verdict::Failed, Verdict::Passed, Verdict::Passed},
         "Fail"},
        {"the normal night",
         {{kCold, 50}, {kReady, 80}, {{.ready = "F", .method = 2}, 30}, {{.method = 2}, 80}},
         {Verdict::Passed, Verdict::Passed, Verdict::Passed, Verdict::Passed},
         "Pass"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestLogBuilder log;
        for (const auto& [line, count] : c.lines) {
            log.add(line, count);
        }
        const std::vector<TestResult> rows = analyseTestLog(log.text, false);
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(overallVerdicts(rows).verdicts, c.verdicts);

        const std::string table = analysisTable({"003-001", false, rows});
        for (int i = 0; i < kSystemTestCount; ++i) {
            const auto test = static_cast<SystemTest>(i);
            char said[64];
            std::snprintf(said, sizeof said, "%-24s %s\n", systemTestLabel(test),
                          verdictWord(c.verdicts[i]));
            EXPECT_NE(table.find(said), std::string::npos) << said << "\n" << table;
        }
        for (const Heater heater : {Heater::Nebuliser, Heater::Evaporator}) {
            EXPECT_EQ(heaterStabilityVerdict(rows, heater),
                      c.verdicts[static_cast<std::size_t>(SystemTest::TemperatureStability)]);
            const std::string line = temperatureStabilityLines(rows, heater).back();
            EXPECT_EQ(line.substr(line.rfind('\t') + 1), c.stabilityStatus);
        }
        for (const TestResult& row : rows) {
            EXPECT_EQ(std::string(rowStatusText(row, SystemTest::TemperatureStability)),
                      c.stabilityStatus);
        }
    }
}

TEST(LogRecordTest, TheLargestValuesTheWriterCanPrintStillRead) {
    LogRecord record;
    EXPECT_TRUE(readLogRecord(
        "23:59:59 -32768 32767 0 327.67 -3276.8 3276.7 327.67 32.77 -3276.8 GAS_SAVE T F T 10 "
        "VDEV ",
        record));
    EXPECT_FLOAT_EQ(record.nebTemp, -3276.8f);
    EXPECT_TRUE(readLogRecord("0:0:0 1 1 1 1 1 1 1 1 1 RUN T F T 1 -", record));
}

TEST(LogRecordTest, DecimalCommaReadsAsAPointAndLineFeedAloneEndsALine) {
    const std::string text = "18:00:15 100 80 50 1,0 99,5 80,1 1,0 0,05 40,0 RUN T F T 3  -  \n";
    LogRecord record;
    ASSERT_TRUE(readLogRecord(text, record));
    EXPECT_FLOAT_EQ(record.nebTemp, 99.5f);
    EXPECT_FLOAT_EQ(record.gasSet, 1.0f);
    EXPECT_EQ(record.method, 3);
    EXPECT_EQ(analyseTestLog(text + text, false).size(), 1u);
}

TEST(AnalysisTest, LogWithoutRowsTestedNothing) {
    for (const std::string& text : {std::string(), std::string("not a log at all\n")}) {
        const auto rows = analyseTestLog(text, false);
        EXPECT_TRUE(rows.empty());
        for (const Verdict verdict : overallVerdicts(rows).verdicts) {
            EXPECT_EQ(verdict, Verdict::NotTested);
        }
    }
}

TEST(AnalysisTest, MissingFileCannotBeAnalysedAndM03SelectsTheFineRange) {
    const test::TemporaryDirectory dir;
    EXPECT_FALSE(analyseTestLogFile(dir.file("003_001.log"), false));
    EXPECT_FALSE(analyseTestLogFile(dir.path(), false));
    EXPECT_TRUE(fineFlowLog("/data/M03_007.log"));
    EXPECT_FALSE(fineFlowLog("/data/003_007.log"));
}

TEST(TestSerialTest, ChosenLogNameGivesTheSerialAndOnlyTestLogsAreTaken) {
    EXPECT_EQ(serialOfLogName("M03_007.log"), "M03_007");
    EXPECT_EQ(serialOfLogName("003_001.log.log"), "003_001");
    EXPECT_EQ(shownSerial("M03_007"), "M03-007");
    EXPECT_EQ(storedSerial("003-042"), "003_042");
    EXPECT_EQ(shownSerial("03"), "03");
    EXPECT_TRUE(looksLikeTestLog("M03_007.log"));
    EXPECT_TRUE(looksLikeTestLog("old003.log"));
    EXPECT_FALSE(looksLikeTestLog("run1.log"));
}

} // namespace
} // namespace kqvdr
