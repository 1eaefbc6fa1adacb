#include "CommandLine.h"

#include "CommandLineTail.h"

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

TEST(CommandLine, SilaTakesAPortAndItsDetailsOnlyWithIt) {
    const auto line = parseCommandLine({"--sila", "50052", "--sila-address", "0.0.0.0",
                                        "--sila-cert", "lab.pem", "--sila-key", "lab.key"});
    EXPECT_TRUE(line.error.empty()) << line.error;
    EXPECT_EQ(line.silaPort, 50052);
    EXPECT_EQ(line.silaAddress, "0.0.0.0");
    EXPECT_EQ(line.silaCert, "lab.pem");
    EXPECT_EQ(line.silaKey, "lab.key");
    EXPECT_FALSE(line.silaInsecure);

    const auto plain = parseCommandLine({"--dir", "/d"});
    EXPECT_FALSE(plain.silaPort.has_value()) << "off unless asked for";
    EXPECT_EQ(plain.silaAddress, "127.0.0.1");
    EXPECT_EQ(parseCommandLine({"--sila", "0"}).silaPort, 0);
    EXPECT_TRUE(parseCommandLine({"--sila", "65535", "--sila-insecure"}).silaInsecure);

    const std::vector<std::vector<std::string>> refused = {
        {"--sila"},
        {"--sila", "65536"},
        {"--sila", "-1"},
        {"--sila", "80x"},
        {"--sila", ""},
        {"--sila-insecure"},
        {"--sila-address", "0.0.0.0"},
        {"--sila", "1", "--sila-cert", "a.pem"},
        {"--sila", "1", "--sila-key", "a.key"},
        {"--sila", "1", "--sila-cert", "a.pem", "--sila-key", "a.key", "--sila-insecure"},
    };
    for (const auto& arguments : refused) {
        EXPECT_FALSE(parseCommandLine(arguments).error.empty()) << arguments.back();
    }
}

TEST(CommandLine, SilaUserTakesAnActionANameAndARoleOnlyForAdd) {
    const auto added =
        parseCommandLine({"--dir", "/d", "--sila-user", "add", "ann", "--role", "operator"});
    EXPECT_TRUE(added.error.empty()) << added.error;
    EXPECT_EQ(added.silaUserAction, "add");
    EXPECT_EQ(added.silaUserName, "ann");
    EXPECT_EQ(added.silaUserRole, "operator");
    const auto listed = parseCommandLine({"--sila-user", "list"});
    EXPECT_TRUE(listed.error.empty()) << listed.error;
    EXPECT_EQ(listed.silaUserName, "");
    EXPECT_TRUE(parseCommandLine({"--sila-user", "password", "ann"}).error.empty());
    const auto open = parseCommandLine(
        {"--sila", "0", "--sila-address", "0.0.0.0", "--sila-open", "--sila-client-ca", "ca.pem"});
    EXPECT_TRUE(open.error.empty()) << open.error;
    EXPECT_TRUE(open.silaOpen);
    EXPECT_EQ(open.silaClientCa, "ca.pem");

    const std::vector<std::vector<std::string>> refused = {
        {"--sila-user"},
        {"--sila-user", "add"},
        {"--sila-user", "add", "ann"},
        {"--sila-user", "remove", "ann", "--role", "observer"},
        {"--sila-user", "rename", "ann"},
        {"--sila-user", "add", "ann", "--role", "observer", "--sila", "0"},
        {"--role", "observer"},
        {"--sila-open"},
        {"--sila-client-ca", "ca.pem"},
        {"--sila", "0", "--sila-insecure", "--sila-client-ca", "ca.pem"},
    };
    for (const auto& arguments : refused) {
        EXPECT_FALSE(parseCommandLine(arguments).error.empty()) << arguments.back();
    }
}

TEST(CommandLine, OnlyRunsThatPrintAndEndBelongToTheConsole) {
    const std::pair<std::vector<std::string>, bool> cases[] = {
        {{}, false},
        {{"--device", "COM7"}, false},
        {{"--simulate", "--dir", "lab"}, false},
        {{"--sila", "0"}, false},
        {{"--analyze", "x.log"}, true},
        {{"--verify-audit"}, true},
        {{"--sila-user", "list"}, true},
        {{"--help"}, true},
        {{"--version"}, true},
        {{"--device"}, true},
    };
    for (const auto& [arguments, console] : cases) {
        EXPECT_EQ(runsInConsole(parseCommandLine(arguments)), console)
            << (arguments.empty() ? "(none)" : arguments.front());
    }
}

TEST(CommandLineTail, KeepsWhatFollowsTheProgramNameAsTyped) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"kqvdr1000-control", L""},
        {L"kqvdr1000-control   ", L""},
        {L"kqvdr1000-control --analyze x.log", L"--analyze x.log"},
        {L"kqvdr1000-control\t--help", L"--help"},
        {LR"("C:\Program Files\k q\kqvdr1000-control.com" --analyze "C:\Données Ω\a b.log")",
         LR"(--analyze "C:\Données Ω\a b.log")"},
        {LR"("C:\Program Files\kqvdr1000-control.com")", L""},
        {LR"("unterminated --help)", L""},
        {L"", L""},
    };
    for (const auto& [commandLine, tail] : cases) {
        EXPECT_EQ(commandLineTail(commandLine), tail);
    }
}

} // namespace
} // namespace kqvdr
