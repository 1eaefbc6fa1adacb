#include "AnalyzeCommand.h"

#include "TemporaryDirectory.h"
#include "TestLogBuilder.h"

#include <chrono>
#include <gtest/gtest.h>
#include <sstream>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

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
    const int status = runAnalyzeCommand({log, fine, json, {}, {}}, out, errors);
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
    EXPECT_EQ(runAnalyzeCommand({log, {}, false, csv, {}}, out, errors), 0);
    const std::string text = test::readBytes(csv);
    EXPECT_EQ(text.rfind("method,respStart,respElapsed,", 0), 0u) << text;
    EXPECT_NE(text.find("\r\n1,"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n2,"), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");

    EXPECT_EQ(runAnalyzeCommand({log, {}, false, dir.file("no/rows.csv"), {}}, out, errors), 1);
    EXPECT_NE(errors.str().find("cannot write"), std::string::npos);
}

TEST_F(AnalyzeCommandTest, MissingLogFailsWithAMessage) {
    const Outcome run = analyze(dir.file("003_999.log"), false);
    EXPECT_NE(run.status, 0);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.errors.find("003_999.log"), std::string::npos);
}

// An output on the raw log would destroy the data the results come from.
TEST_F(AnalyzeCommandTest, AnOutputOntoTheLogOrOntoTheOtherOutputIsRefused) {
    const std::string logged = test::readBytes(log);
    const std::filesystem::path sameByAnotherName = dir.path() / "." / "003_017.log";
    struct Case {
        const char* what;
        std::optional<std::filesystem::path> csv;
        std::optional<std::filesystem::path> report;
    };
    std::vector<Case> cases = {
        {"csv on the log", log, {}},
        {"csv on the log by another spelling", sameByAnotherName, {}},
        {"report on the log", {}, sameByAnotherName},
        {"csv and report on one new file", dir.file("out"),
         dir.path() / ".." / dir.path().filename() / "out"},
    };
#ifndef _WIN32
    std::filesystem::create_symlink(log, dir.file("link.log"));
    cases.push_back({"report on a link to the log", {}, dir.file("link.log")});
#endif
    for (const Case& c : cases) {
        std::ostringstream out;
        std::ostringstream errors;
        EXPECT_EQ(runAnalyzeCommand({log, {}, false, c.csv, c.report}, out, errors), 2) << c.what;
        EXPECT_FALSE(errors.str().empty()) << c.what;
        EXPECT_TRUE(out.str().empty()) << c.what;
        EXPECT_EQ(test::readBytes(log), logged) << c.what;
        EXPECT_FALSE(std::filesystem::exists(dir.file("out"))) << c.what;
    }
}

TEST_F(AnalyzeCommandTest, AnUnreadableLineIsCountedNamedAndMarkedOnItsRow) {
    TestLogBuilder damaged;
    damaged.add({.ready = "F", .neb = 25.0, .evap = 25.0}, 10).add({}, 6);
    damaged.raw("18:08:15 100 80 50 1.0 nan 80.0 1.0 0.05 40.0 RUN T F T 1  -  \r\n");
    damaged.add({.ready = "F", .neb = 25.0, .evap = 25.0, .method = 2}, 6);
    test::writeBytes(log, damaged.text);
    const Outcome text = analyze(log, false);
    EXPECT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("  (1 line unreadable)\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("1 line of the log could not be read and was left out; it is line 17."),
              std::string::npos)
        << text.out;
    EXPECT_NE(text.errors.find("line 17"), std::string::npos) << text.errors;
    EXPECT_NE(text.out.find("\n     2  "), std::string::npos) << "method 2 keeps its row";
    const Outcome json = analyze(log, true);
    EXPECT_NE(json.out.find("\"unreadableLines\":1,\"firstUnreadableLine\":17"), std::string::npos)
        << json.out;
}

TEST_F(AnalyzeCommandTest, ALogOfErrorRecordsPassesNoTestAndShowsNoNumbers) {
    TestLogBuilder errors;
    errors.add({.mode = "ERROR"}, 4).add({.mode = "ERROR", .method = 2}, 4);
    test::writeBytes(log, errors.text);
    const Outcome run = analyze(log, false);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.find("passed"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("     1  -         -         -         -     "), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("4. Mass Flow Response    not tested\n"), std::string::npos) << run.out;
}

#ifndef _WIN32
TEST_F(AnalyzeCommandTest, APipeOrADeviceIsRefusedAtOnce) {
    ASSERT_EQ(::mkfifo(dir.file("003_pipe.log").c_str(), 0600), 0);
    for (const std::filesystem::path& path :
         {dir.file("003_pipe.log"), std::filesystem::path("/dev/zero")}) {
        const auto started = std::chrono::steady_clock::now();
        const Outcome run = analyze(path, false);
        EXPECT_EQ(run.status, 1) << path;
        EXPECT_NE(run.errors.find("not a plain file"), std::string::npos) << run.errors;
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1)) << path;
    }
}
#endif

} // namespace
} // namespace kqvdr
