#include "FileIdentity.h"

#include "TemporaryDirectory.h"

#include <gtest/gtest.h>
#include <vector>

namespace kqvdr {
namespace {

namespace fs = std::filesystem;

TEST(SameFile, ComparesWhatTheNamesStandForNotHowTheyAreSpelled) {
    test::TemporaryDirectory dir;
    fs::create_directory(dir.file("logs"));
    test::writeBytes(dir.file("logs") / "003_001.log", "log");
    test::writeBytes(dir.file("other.log"), "log");
    const fs::path log = dir.file("logs") / "003_001.log";
    struct Case {
        const char* what;
        fs::path a;
        fs::path b;
        bool same;
    };
    std::vector<Case> cases = {
        {"the same spelling", log, log, true},
        {"through ..", log, dir.file("logs") / ".." / "logs" / "003_001.log", true},
        {"two spellings of a file not made yet", dir.file("new.pdf"),
         dir.file("logs") / ".." / "new.pdf", true},
        {"another file with the same content", log, dir.file("other.log"), false},
        {"a file and one not made yet", log, dir.file("new.pdf"), false},
    };
#ifndef _WIN32
    fs::create_symlink(log, dir.file("link.log"));
    cases.push_back({"through a link", log, dir.file("link.log"), true});
#endif
    for (const auto& c : cases) {
        EXPECT_EQ(sameFile(c.a, c.b), c.same) << c.what;
    }
}

TEST(SameFile, ARelativeNameIsTheFileInTheWorkingFolder) {
    test::TemporaryDirectory dir;
    test::writeBytes(dir.file("003_001.log"), "log");
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    const bool same = sameFile("003_001.log", dir.file("003_001.log"));
    fs::current_path(before);
    EXPECT_TRUE(same);
}

} // namespace
} // namespace kqvdr
