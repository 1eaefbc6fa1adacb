#include "SystemTestAnalysis.h"

#include "LogRecord.h"
#include "ReferenceTables.h"
#include "TemporaryDirectory.h"
#include "TestLogBuilder.h"
#include "TestSerial.h"
#include "TestVerdicts.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(overallVerdicts({row}).of(SystemTest::TemperatureStability), Verdict::Failed);
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
    std::size_t rows;
};

class ReadingTest : public ::testing::TestWithParam<ReadingCase> {};

// Method 1, then a damaged line, then method 2: the damage ends the reading there.
TEST_P(ReadingTest, DamagedLineEndsTheReading) {
    const ReadingCase& c = GetParam();
    TestLogBuilder log;
    log.add(kReady, 3).raw(c.damage).add({.method = 2}, 3);
    EXPECT_EQ(analyseTestLog(log.text, false).size(), c.rows);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadingTest,
    ::testing::Values(
        ReadingCase{"Intact", "", 2},
        ReadingCase{"FifteenFields",
                    "18:10:15 100 80 50 1.0 100.0 80.0 1.0 0.05 40.0 RUN T F T\r\n", 1},
        ReadingCase{"LetterForNumber",
                    "18:10:15 100 80 50 1.0 x 80.0 1.0 0.05 40.0 RUN T F T 2 -\r\n", 1},
        ReadingCase{"EmptyLine", "\r\n", 1},
        ReadingCase{"LongerThanTheBuffer",
                    "18:10:15 100 80 50" + std::string(40, ' ') +
                        "1.0 100.0 80.0 1.0 0.05 40.0 RUN T F T 2  -  \r\n",
                    1},
        ReadingCase{"TimeLongerThanItsBuffer",
                    "18:10:15:000 100 80 50 1.0 100.0 80.0 1.0 0.05 40.0 RUN T F T 2 -\r\n", 1}),
    [](const auto& info) { return std::string(info.param.name); });

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
