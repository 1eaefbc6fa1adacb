#include "AnalyzeCommand.h"

#include "TemporaryDirectory.h"
#include "TestLogBuilder.h"

#include <gtest/gtest.h>
#include <sstream>

namespace kqvdr {
namespace {

using test::TestLogBuilder;

struct Outcome {
    int status;
    std::string out;
    std::string errors;
};

Outcome analyze(const std::filesystem::path& log, bool json, std::optional<bool> fine = {}) {
    std::ostringstream out;
    std::ostringstream errors;
    const int status = runAnalyzeCommand({log, fine, json, {}}, out, errors);
    return {status, out.str(), errors.str()};
}

// Method 1 heats and holds; method 2 never becomes ready.
std::string sampleLog() {
    TestLogBuilder log;
    log.add({.ready = "F", .neb = 25.0, .evap = 25.0}, 10).add({}, 6);
    log.add({.ready = "F", .neb = 25.0, .evap = 25.0, .method = 2}, 6);
    return log.text;
}

class AnalyzeCommandTest : public ::testing::Test {
protected:
    void SetUp() override { test::writeBytes(log, sampleLog()); }

    test::TemporaryDirectory dir;
    std::filesystem::path log = dir.file("003_017.log");
};

TEST_F(AnalyzeCommandTest, TextListsEachRowAndTheFourVerdicts) {
    const Outcome run = analyze(log, false);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("System test of 003-017 (standard gas-flow range)"), std::string::npos);
    EXPECT_NE(run.out.find("     1  18:00:15  0:26:52   0:05:00   Pass"), std::string::npos);
    EXPECT_NE(run.out.find("     2  18:08:15  0:26:52   0:02:30   Fail"), std::string::npos);
    EXPECT_NE(run.out.find("1. Temperature Response  failed\n"), std::string::npos);
    EXPECT_NE(run.out.find("3. Baseline Stability    passed\n"), std::string::npos);
}

TEST_F(AnalyzeCommandTest, JsonCarriesEveryFieldByNameWithNumbersAndBooleans) {
    const Outcome run = analyze(log, true);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(
        run.out.rfind("{\"serial\":\"003-017\",\"fineFlow\":false,\"rows\":[{\"method\":1,", 0),
        0u);
    for (const char* field :
         {"\"respPass\":true", "\"respExpected\":\"0:26:52\"", "\"nebRsd\":0", "\"gasResponse\":0",
          "\"photoMax\":0.05,", "\"stabEvaluated\":false", "\"gasLimit\":270"}) {
        EXPECT_NE(run.out.find(field), std::string::npos) << field;
    }
    EXPECT_NE(run.out.find("\"verdicts\":{\"Temperature Response\":\"failed\",\"Temperature "
                           "Stability\":\"failed\",\"Baseline Stability\":\"passed\",\"Mass Flow "
                           "Response\":\"passed\"}}\n"),
              std::string::npos);
}

TEST_F(AnalyzeCommandTest, FineRangeFollowsTheNameUnlessGiven) {
    const auto fineFlag = [](const Outcome& run) {
        return run.out.find("\"fineFlow\":true") != std::string::npos;
    };
    const std::filesystem::path fineLog = dir.file("M03_017.log");
    test::writeBytes(fineLog, sampleLog());
    EXPECT_TRUE(fineFlag(analyze(fineLog, true)));
    EXPECT_FALSE(fineFlag(analyze(log, true)));
    EXPECT_TRUE(fineFlag(analyze(log, true, true)));
}

TEST_F(AnalyzeCommandTest, ForeignLogRunsButTestedNothing) {
    test::writeBytes(log, "a text file\n");
    const Outcome run = analyze(log, true);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("\"rows\":[]"), std::string::npos);
    EXPECT_NE(run.out.find("\"Mass Flow Response\":\"not tested\""), std::string::npos);
}

TEST_F(AnalyzeCommandTest, CsvHoldsAHeaderAndOneRecordPerMethodOrFailsWithAMessage) {
    std::ostringstream out;
    std::ostringstream errors;
    const auto csv = dir.file("rows.csv");
    EXPECT_EQ(runAnalyzeCommand({log, {}, false, csv}, out, errors), 0);
    const std::string text = test::readBytes(csv);
    EXPECT_EQ(text.rfind("method,respStart,respElapsed,", 0), 0u) << text;
    EXPECT_NE(text.find("\r\n1,"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n2,"), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");

    EXPECT_EQ(runAnalyzeCommand({log, {}, false, dir.file("no/rows.csv")}, out, errors), 1);
    EXPECT_NE(errors.str().find("cannot write"), std::string::npos);
}

TEST_F(AnalyzeCommandTest, MissingLogFailsWithAMessage) {
    const Outcome run = analyze(dir.file("003_999.log"), false);
    EXPECT_NE(run.status, 0);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.errors.find("003_999.log"), std::string::npos);
}

} // namespace
} // namespace kqvdr
