#include "CommandLine.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

TEST(CommandLine, ReadsOurOptionsAndLeavesQtOptionsAlone) {
    const auto line = parseCommandLine({"-platform", "offscreen", "--dir", "/tmp/x", "--device",
                                        "/dev/pts/3", "--simulate", "--fine"});
    EXPECT_TRUE(line.error.empty());
    EXPECT_EQ(line.programDir, "/tmp/x");
    EXPECT_EQ(line.device, "/dev/pts/3");
    EXPECT_TRUE(line.simulate);
    EXPECT_TRUE(line.fineGas);
}

TEST(CommandLine, RejectsAMissingValueAndFineWithoutSimulate) {
    EXPECT_FALSE(parseCommandLine({"--dir"}).error.empty());
    EXPECT_FALSE(parseCommandLine({"--fine"}).error.empty());
}

TEST(CommandLine, AnalyzeTakesALogWithFineAndJsonWhichNeedIt) {
    const auto line = parseCommandLine({"--analyze", "/logs/M03_001.log", "--json", "--fine"});
    EXPECT_TRUE(line.error.empty());
    EXPECT_EQ(line.analyzeLog, "/logs/M03_001.log");
    EXPECT_TRUE(line.json && line.fineGas);
    EXPECT_FALSE(parseCommandLine({"--analyze"}).error.empty());
    EXPECT_FALSE(parseCommandLine({"--json"}).error.empty());
}

TEST(CommandLine, VerifyAuditTakesAnOptionalFile) {
    struct Case {
        std::vector<std::string> arguments;
        std::string file;
    };
    for (const Case& c : {Case{{"--verify-audit"}, ""}, Case{{"--verify-audit", "a.log"}, "a.log"},
                          Case{{"--verify-audit", "--dir", "/d"}, ""}}) {
        const auto line = parseCommandLine(c.arguments);
        EXPECT_TRUE(line.error.empty());
        EXPECT_TRUE(line.verifyAudit);
        EXPECT_EQ(line.auditFile, c.file);
    }
    EXPECT_EQ(parseCommandLine({"--verify-audit", "--dir", "/d"}).programDir, "/d");
}

} // namespace
} // namespace kqvdr
