#include "Utf8Path.h"

#include "FileReplace.h"
#include "TemporaryDirectory.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace kqvdr {
namespace {

namespace fs = std::filesystem;

struct NamedText {
    std::string utf8;
    std::u16string utf16;
};

const NamedText kNames[] = {
    {"plain.log", u"plain.log"},
    {"M\xC3\xA9thodes \xCE\xA9.mtd", u"M\u00E9thodes \u03A9.mtd"},
    {"\xE6\x97\xA5\xE6\x9C\xAC 003_042.log", u"\u65E5\u672C 003_042.log"},
};

// On Windows a path made from a plain string reads it in the ANSI code page, so "é" would
// become two characters; here the characters must survive both ways.
TEST(Utf8Path, NamesOutsideAsciiKeepTheirCharactersBothWays) {
    for (const NamedText& name : kNames) {
        const fs::path path = pathFromUtf8(name.utf8);
        EXPECT_EQ(path.u16string(), name.utf16) << name.utf8;
        EXPECT_EQ(utf8FromPath(path), name.utf8);
    }
}

TEST(Utf8Path, FilesWithNamesOutsideAsciiAreWrittenReadAndListedUnderThoseNames) {
    test::TemporaryDirectory dir;
    const fs::path folder = dir.path() / pathFromUtf8("Donn\xC3\xA9"
                                                      "es \xCE\xA9");
    fs::create_directory(folder);
    for (const NamedText& name : kNames) {
        const fs::path file = folder / pathFromUtf8(name.utf8);
        ASSERT_FALSE(replaceFileContent(file, name.utf8)) << name.utf8;
        std::string content;
        ASSERT_FALSE(readWholeFile(file, content, 1024)) << name.utf8;
        EXPECT_EQ(content, name.utf8);
    }
    std::vector<std::string> listed;
    for (const auto& entry : fs::directory_iterator(folder)) {
        listed.push_back(utf8FromPath(entry.path().filename()));
    }
    std::sort(listed.begin(), listed.end());
    std::vector<std::string> expected;
    for (const NamedText& name : kNames) {
        expected.push_back(name.utf8);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
}

} // namespace
} // namespace kqvdr
