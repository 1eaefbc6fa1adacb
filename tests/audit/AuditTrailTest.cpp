#include "AuditTrail.h"

#include "AuditLine.h"
#include "AuditVerifier.h"
#include "ManualClock.h"
#include "TemporaryDirectory.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace kqvdr {
namespace {

std::vector<std::string> linesOf(const std::string& bytes) {
    std::vector<std::string> lines;
    std::istringstream in(bytes);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line + "\n";
    }
    return bytes;
}

struct TrailWorld {
    TrailWorld() { clock.time = {2026, 12, 8, 23, 40, 1, 2, 60}; }
    AuditTrail trail(std::vector<std::string>* failures = nullptr) {
        return AuditTrail(file(), clock, "tester", [failures](const std::string& reason) {
            if (failures != nullptr) {
                failures->push_back(reason);
            }
        });
    }
    std::filesystem::path file() const { return dir.file(kAuditFile); }
    void recordModes(AuditTrail& to, int count) {
        for (int i = 0; i < count; ++i) {
            to.record({AuditEventKind::ModeCommand, "", "Standby", "Run " + std::to_string(i)});
            clock.advanceSeconds(1);
        }
    }
    AuditVerification verify() const { return verifyAuditFile(file()); }

    test::ManualClock clock;
    test::TemporaryDirectory dir;
};

TEST(AuditTrail, WritesTimeWithOffsetUserEventAndValuesOnOneChainedLine) {
    TrailWorld world;
    AuditTrail trail = world.trail();
    trail.record({AuditEventKind::MethodSelected, "", "2", "3"});
    const std::vector<std::string> lines = linesOf(test::readBytes(world.file()));
    ASSERT_EQ(lines.size(), 1u);
    const std::string text = "1\t2026-12-08T23:40:01+01:00\ttester\tmethod selected\t\t2\t3";
    EXPECT_EQ(lines[0], text + "\t" + chainHash(kAuditGenesisHash, text));
}

TEST(AuditTrail, AnActingUserNamesItsEventsUntilClearedAndTheChainStillVerifies) {
    TrailWorld world;
    AuditTrail trail = world.trail();
    trail.setActingUser("192.168.1.20");
    trail.record({AuditEventKind::ModeCommand, "", "Standby", "Run"});
    trail.setActingUser({});
    trail.record({AuditEventKind::ModeCommand, "", "Run", "Standby"});
    const std::vector<std::string> lines = linesOf(test::readBytes(world.file()));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("\t192.168.1.20\tmode\t"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("\ttester\tmode\t"), std::string::npos) << lines[1];
    EXPECT_TRUE(world.verify().intact());
}

TEST(AuditTrail, TabsAndLineBreaksInValuesStayOnOneLineAndReadBack) {
    TrailWorld world;
    AuditTrail trail = world.trail();
    const AuditEvent event{AuditEventKind::MethodDownloaded, "a\tb", "line\r\nbreak",
                           "back\\slash"};
    trail.record(event);
    const std::vector<std::string> lines = linesOf(test::readBytes(world.file()));
    ASSERT_EQ(lines.size(), 1u);
    const auto fields = auditFields(lines[0]);
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->subject, event.subject);
    EXPECT_EQ(fields->oldValue, event.oldValue);
    EXPECT_EQ(fields->newValue, event.newValue);
    EXPECT_TRUE(world.verify().intact());
}

TEST(AuditTrail, ANewRunContinuesTheChainAndTheNumbering) {
    TrailWorld world;
    {
        AuditTrail first = world.trail();
        world.recordModes(first, 3);
    }
    AuditTrail second = world.trail();
    world.recordModes(second, 2);
    EXPECT_EQ(second.lastSequence(), 5u);
    const AuditVerification result = world.verify();
    EXPECT_EQ(result.lines, 5u);
    EXPECT_TRUE(result.intact()) << verificationReport("audit.log", result);
}

// A power cut in the middle of a line, and what the next start makes of it.
struct CutTrail {
    const char* what;
    std::string cut;                                // what reached the disk of the third line
    void (*after)(std::vector<std::string>& lines); // done to the file after the restart
    std::vector<std::size_t> brokenLines;
    std::size_t powerCuts;
};

const CutTrail kCutTrails[] = {
    {"a torn line", "3\t2026-12-08T23:4", nullptr, {}, 1},
    {"a torn line whose line break the last start added", "3\t2026-12-08T23:4\n", nullptr, {}, 1},
    {"a line that lost only its line break is whole", "", nullptr, {}, 0},
    {"a record that names another length",
     "3\t2026-12-08T23:4",
     [](std::vector<std::string>& lines) { lines[2].pop_back(); },
     {3},
     0},
    {"an edit after the power cut",
     "3\t2026-12-08T23:4",
     [](std::vector<std::string>& lines) { lines[4].replace(lines[4].find("Run 0"), 5, "Run 7"); },
     {5},
     1},
};

TEST(AuditTrail, ALineCutOffByAPowerCutIsRecordedByTheNextStartAndVerifiesAsAPowerCut) {
    for (const CutTrail& c : kCutTrails) {
        SCOPED_TRACE(c.what);
        TrailWorld world;
        {
            AuditTrail first = world.trail();
            world.recordModes(first, 2);
        }
        std::string bytes = test::readBytes(world.file());
        if (c.cut.empty()) {
            bytes.pop_back(); // only the line break of line 2 is missing
        }
        test::writeBytes(world.file(), bytes + c.cut);
        {
            AuditTrail second = world.trail();
            world.recordModes(second, 1);
        }
        std::vector<std::string> lines = linesOf(test::readBytes(world.file()));
        if (c.after != nullptr) {
            c.after(lines);
            test::writeBytes(world.file(), joined(lines));
        }
        const AuditVerification result = world.verify();
        std::vector<std::size_t> broken;
        for (const AuditBreak& b : result.breaks) {
            broken.push_back(b.line);
        }
        EXPECT_EQ(broken, c.brokenLines) << verificationReport("audit.log", result);
        ASSERT_EQ(result.powerCuts.size(), c.powerCuts) << verificationReport("audit.log", result);
        if (c.powerCuts == 0 || !c.brokenLines.empty()) {
            continue;
        }
        // The start's record takes the cut line's number, and the chain goes on after it.
        ASSERT_EQ(lines.size(), 5u);
        const auto record = auditFields(lines[3]);
        ASSERT_TRUE(record);
        EXPECT_EQ(record->event, "audit line cut off");
        EXPECT_EQ(record->subject, "3");
        EXPECT_EQ(record->oldValue, "17 bytes");
        EXPECT_EQ(parseAuditLine(lines[4])->sequence, 4u);
        EXPECT_EQ(verificationReport("audit.log", result),
                  "audit.log: 5 lines, chain intact\n"
                  "  line 3: cut off by a power cut after 17 bytes; the next start recorded it at "
                  "line 4\n");
    }
}

TEST(AuditVerifier, ALineCutOffAndNotYetRecordedIsABreakThatSaysSo) {
    TrailWorld world;
    {
        AuditTrail trail = world.trail();
        world.recordModes(trail, 2);
    }
    test::writeBytes(world.file(), test::readBytes(world.file()) + "3\t2026-12");
    const AuditVerification result = world.verify();
    ASSERT_EQ(result.breaks.size(), 1u);
    EXPECT_EQ(result.breaks[0].line, 3u);
    EXPECT_NE(result.breaks[0].reason.find("next start"), std::string::npos);
}

TEST(AuditTrail, AWriteFailureIsReportedOnceAndLaterEventsAreStillTried) {
    TrailWorld world;
    std::filesystem::create_directory(world.file()); // nothing can be appended to a directory
    std::vector<std::string> failures;
    AuditTrail trail = world.trail(&failures);
    world.recordModes(trail, 3);
    EXPECT_EQ(failures.size(), 1u);

    std::filesystem::remove(world.file());
    world.recordModes(trail, 1);
    EXPECT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("Is a directory"), std::string::npos) << failures[0];
    EXPECT_TRUE(world.verify().intact());
    // The three events lost are marked by one line before the next event.
    const std::vector<std::string> lines = linesOf(test::readBytes(world.file()));
    ASSERT_EQ(lines.size(), 2u);
    const auto marker = auditFields(lines[0]);
    ASSERT_TRUE(marker);
    EXPECT_EQ(marker->event, "events not recorded");
    EXPECT_EQ(marker->subject, "3");
    EXPECT_EQ(auditFields(lines[1])->event, "mode");
}

TEST(AuditTrail, AChainAtItsLastNumberIsNotContinuedButReported) {
    TrailWorld world;
    constexpr std::uint64_t kLast = std::numeric_limits<std::uint64_t>::max();
    const std::string text =
        auditText(kLast, world.clock.now(), "forger", {AuditEventKind::ProgramStarted, "", "", ""});
    const std::string forged = text + "\t" + chainHash(kAuditGenesisHash, text) + "\n";
    test::writeBytes(world.file(), forged);
    std::vector<std::string> failures;
    AuditTrail trail = world.trail(&failures);
    world.recordModes(trail, 2);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("18446744073709551615"), std::string::npos) << failures[0];
    EXPECT_EQ(test::readBytes(world.file()), forged) << "no line numbered 0 after it";
}

#ifndef _WIN32
// At start the trail is opened for its last line: a pipe in its place must not hang the program.
TEST(AuditTrail, APipeInPlaceOfTheFileIsReportedAtOnce) {
    TrailWorld world;
    ASSERT_EQ(::mkfifo(world.dir.file("pipe").c_str(), 0600), 0);
    std::filesystem::create_symlink(world.dir.file("pipe"), world.file());
    std::vector<std::string> failures;
    AuditTrail trail = world.trail(&failures);
    const auto started = std::chrono::steady_clock::now();
    world.recordModes(trail, 1);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0], "not a plain file");
}

TEST(AuditVerifier, AnythingButAPlainFileIsUnreadableAndAnsweredAtOnce) {
    test::TemporaryDirectory dir;
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    for (const std::filesystem::path& path :
         {dir.path(), dir.file("pipe"), std::filesystem::path("/dev/zero")}) {
        const auto started = std::chrono::steady_clock::now();
        const AuditVerification result = verifyAuditFile(path);
        EXPECT_FALSE(result.readable) << path;
        EXPECT_EQ(result.lines, 0u) << path;
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1)) << path;
    }
}
#endif

// The chain names where the file was tampered with.
struct Tampering {
    const char* what;
    void (*change)(std::vector<std::string>& lines);
    std::vector<std::size_t> brokenLines;
};

const Tampering kTamperings[] = {
    {"an edited value",
     [](std::vector<std::string>& lines) { lines[2].replace(lines[2].find("Run 2"), 5, "Run 9"); },
     {3}},
    {"a removed line",
     [](std::vector<std::string>& lines) { lines.erase(lines.begin() + 2); },
     {3, 3}},
    {"a removed first line",
     [](std::vector<std::string>& lines) { lines.erase(lines.begin()); },
     {1, 1}},
    {"an inserted copy of a line",
     [](std::vector<std::string>& lines) { lines.insert(lines.begin() + 2, lines[1]); },
     {3, 3}},
    {"an inserted line in no audit format",
     [](std::vector<std::string>& lines) { lines.insert(lines.begin() + 1, "all is well"); },
     {2}},
    {"an edited hash",
     [](std::vector<std::string>& lines) { lines[4].back() = lines[4].back() == 'a' ? 'b' : 'a'; },
     {5}},
    {"a damaged line, then an edit on the line after it",
     [](std::vector<std::string>& lines) {
         lines[1].front() = 'x';
         lines[2].replace(lines[2].find("Run 2"), 5, "Run 9");
     },
     {2, 3}},
    {"a damaged hash, then an edit further on",
     [](std::vector<std::string>& lines) {
         lines[1].resize(lines[1].size() - 3);
         lines[3].replace(lines[3].find("Run 3"), 5, "Run 9");
     },
     {2, 3, 4}},
    {"a damaged line and nothing else",
     [](std::vector<std::string>& lines) { lines[1].front() = 'x'; },
     {2}},
    {"two lines swapped",
     [](std::vector<std::string>& lines) { std::swap(lines[1], lines[2]); },
     {2, 2, 3, 3, 4, 4}},
};

TEST(AuditVerifier, NamesTheLineWhereTheChainBreaks) {
    for (const Tampering& tampering : kTamperings) {
        TrailWorld world;
        {
            AuditTrail trail = world.trail();
            world.recordModes(trail, 5);
        }
        ASSERT_TRUE(world.verify().intact());
        std::vector<std::string> lines = linesOf(test::readBytes(world.file()));
        tampering.change(lines);
        test::writeBytes(world.file(), joined(lines));
        const AuditVerification result = world.verify();
        std::vector<std::size_t> broken;
        for (const AuditBreak& b : result.breaks) {
            broken.push_back(b.line);
        }
        EXPECT_EQ(broken, tampering.brokenLines) << tampering.what << "\n"
                                                 << verificationReport("audit.log", result);
    }
}

TEST(AuditVerifier, ReportSaysIntactOrWhereItBreaks) {
    AuditVerification result;
    result.lines = 12;
    EXPECT_EQ(verificationReport("audit.log", result), "audit.log: 12 lines, chain intact\n");
    result.breaks = {{7, "its text does not match its hash (edited)"}};
    EXPECT_EQ(verificationReport("audit.log", result),
              "audit.log: 12 lines, chain broken at line 7\n"
              "  line 7: its text does not match its hash (edited)\n");
    EXPECT_FALSE(verifyAuditFile("/nonexistent/audit.log").intact());
}

TEST(AuditLine, TimestampCarriesTheOffsetFromUtc) {
    struct Case {
        int offset;
        const char* text;
    };
    for (const Case c :
         {Case{0, "2026-03-29T02:05:09+00:00"}, Case{120, "2026-03-29T02:05:09+02:00"},
          Case{-330, "2026-03-29T02:05:09-05:30"}, Case{345, "2026-03-29T02:05:09+05:45"}}) {
        EXPECT_EQ(isoTimestamp({2026, 3, 29, 2, 5, 9, 0, c.offset}), c.text);
    }
}

} // namespace
} // namespace kqvdr
