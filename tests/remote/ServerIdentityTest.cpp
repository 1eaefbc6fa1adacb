#include "ServerIdentity.h"

#include "ServerIdentityFile.h"
#include "ServerName.h"
#include "TemporaryDirectory.h"
#include "Uuid.h"

#include <gtest/gtest.h>

namespace kqvdr {

void PrintTo(const ServerIdentity& identity, std::ostream* out) {
    *out << "{" << identity.uuid << ", \"" << identity.name << "\"}";
}

namespace {

namespace fs = std::filesystem;

// Lower-case UUID text with the version 4 and RFC 4122 variant marks.
bool version4Uuid(const std::string& text) {
    return canonicalUuid(text) == text && text[14] == '4' &&
           std::string_view("89ab").find(text[19]) != std::string_view::npos;
}

std::string repeated(std::string_view text, std::size_t times) {
    std::string result;
    for (std::size_t i = 0; i < times; ++i) {
        result += text;
    }
    return result;
}

TEST(ServerIdentity, FirstStartMakesARandomVersion4UuidAndTheDefaultNameKeptAcrossStarts) {
    test::TemporaryDirectory first;
    test::TemporaryDirectory second;
    const ServerIdentity made = ServerIdentityStore(first.path()).loadOrCreate();
    EXPECT_TRUE(version4Uuid(made.uuid)) << made.uuid;
    EXPECT_EQ(made.name, kDefaultServerName);
    EXPECT_TRUE(fs::is_regular_file(first.file(kServerIdentityFile)));

    EXPECT_EQ(ServerIdentityStore(first.path()).loadOrCreate(), made) << "the next start";
    EXPECT_NE(ServerIdentityStore(second.path()).loadOrCreate().uuid, made.uuid)
        << "another installation";
}

TEST(ServerIdentity, ANameThatIsSetIsKeptAcrossStartsWhateverItsCharacters) {
    for (const std::string& name : {std::string("Detector bay 3"), std::string("Säule \\ 2"),
                                    std::string("two\nlines\r\nand \\n literally"),
                                    std::string("nul\0inside", 10), repeated("\xc3\xa9", 255)}) {
        test::TemporaryDirectory dir;
        ServerIdentityStore store(dir.path());
        const std::string uuid = store.loadOrCreate().uuid;
        std::string error;
        ASSERT_TRUE(store.setName(name, error)) << error;
        EXPECT_EQ(store.loadOrCreate(), (ServerIdentity{uuid, name}));
        EXPECT_EQ(ServerIdentityStore(dir.path()).loadOrCreate(), (ServerIdentity{uuid, name}))
            << "read back from the file";
    }
}

TEST(ServerIdentity, NamesBreakingTheRulesAreRefusedAndTheKeptNameStays) {
    struct Case {
        std::string name;
        bool allowed;
    };
    const Case cases[] = {
        {"", true},
        {"x", true},
        {std::string(255, 'x'), true},
        {std::string(256, 'x'), false},
        {repeated("\xe6\xb8\xac", 255), true}, // 255 characters in 765 bytes
        {repeated("\xe6\xb8\xac", 256), false},
        {"\xff", false},             // no UTF-8
        {"caf\xc3", false},          // cut inside a character
        {"\xc0\xaf", false},         // overlong
        {"\xed\xa0\x80", false},     // a surrogate
        {"\xf4\x90\x80\x80", false}, // past U+10FFFF
        {"\xf0\x9f\xa7\xaa", true},
    };
    for (const auto& [name, allowed] : cases) {
        test::TemporaryDirectory dir;
        ServerIdentityStore store(dir.path());
        const ServerIdentity before = store.loadOrCreate();
        const std::string fileBefore = test::readBytes(store.file());
        std::string error;
        EXPECT_EQ(store.setName(name, error), allowed) << name.size() << " bytes";
        EXPECT_EQ(error.empty(), allowed) << error;
        if (!allowed) {
            EXPECT_EQ(store.loadOrCreate(), before);
            EXPECT_EQ(test::readBytes(store.file()), fileBefore);
        }
    }
}

TEST(ServerIdentity, AFileWrittenByHandIsReadWithCrLfCommentsAndKeysOfALaterVersion) {
    test::TemporaryDirectory dir;
    test::writeBytes(dir.file(kServerIdentityFile), "# kept by the laboratory\r\n"
                                                    "\r\n"
                                                    "uuid=6F1C2E0A-3B4D-4E5F-8A9B-0C1D2E3F4A5B\r\n"
                                                    "colour=blue\r\n"
                                                    "name=Bay 3 \\\\ left\r\n");
    EXPECT_EQ(ServerIdentityStore(dir.path()).loadOrCreate(),
              (ServerIdentity{"6f1c2e0a-3b4d-4e5f-8a9b-0c1d2e3f4a5b", "Bay 3 \\ left"}));
}

TEST(ServerIdentity, ADamagedFileGivesNoIdentityAndIsNeitherReplacedNorRenamedInto) {
    const std::string uuid = "uuid=0f8fad5b-d9cb-469f-a165-70867728950e\n";
    const std::string cases[] = {
        "",
        "garbage without an equals sign\n",
        uuid,                                         // no name
        "name=Bay 3\n",                               // no uuid
        "uuid=0f8fad5b-d9cb-469f-a165\nname=Bay 3\n", // cut short
        "uuid=0f8fad5b-d9cb-469f-a165-70867728950g\nname=x\n",
        uuid + uuid + "name=x\n", // which one?
        uuid + "name=x\nname=y\n",
        uuid + "name=trailing \\\n",
        uuid + "name=unknown \\t escape\n",
        uuid + "name=" + std::string(256, 'x') + "\n",
        uuid + "name=\xff\n",
    };
    for (const auto& content : cases) {
        test::TemporaryDirectory dir;
        test::writeBytes(dir.file(kServerIdentityFile), content);
        ServerIdentityStore store(dir.path());
        EXPECT_EQ(store.loadOrCreate(), ServerIdentity{}) << content;
        EXPECT_NE(store.error().find(store.file().string()), std::string::npos) << store.error();
        EXPECT_NE(store.error().find("damaged"), std::string::npos) << store.error();
        std::string error;
        EXPECT_FALSE(store.setName("Bay 4", error)) << content;
        EXPECT_EQ(error, store.error());
        EXPECT_EQ(test::readBytes(store.file()), content);
    }
}

TEST(ServerIdentity, AnUnreadableOrUnwritablePlaceGivesNoIdentityAndSaysWhy) {
    test::TemporaryDirectory dir;
    fs::create_directory(dir.file(kServerIdentityFile));
    ServerIdentityStore folderInTheWay(dir.path());
    EXPECT_EQ(folderInTheWay.loadOrCreate(), ServerIdentity{});
    EXPECT_NE(folderInTheWay.error().find("cannot be read"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(dir.file(kServerIdentityFile)));

    ServerIdentityStore missingDirectory(dir.file("not there"));
    EXPECT_EQ(missingDirectory.loadOrCreate(), ServerIdentity{})
        << "an identity that is not kept would change at the next start";
    EXPECT_NE(missingDirectory.error().find("cannot be stored"), std::string::npos);
}

// Names that would rewrite a terminal or a list that shows them, or show as nothing: a client
// may not set them, though the file still keeps any name it kept before.
TEST(ServerName, AClientCannotSetControlsBidiOverridesOrSpacesOnly) {
    const struct {
        std::string name;
        bool allowed;
    } cases[] = {
        {"", true},
        {"Bay 3 \xc2\xb7 left", true},
        {"\xf0\x9f\xa7\xaa", true},
        {" x ", true},
        {"   ", false},
        {"\xc2\xa0\xe3\x80\x80", false}, // no-break and ideographic spaces only
        {std::string("a\0b", 3), false},
        {"a\tb", false},
        {"two\nlines", false},
        {"\x1b[2Jcleared", false}, // a terminal escape
        {"a\x7f", false},
        {"a\xc2\x85"
         "b",
         false}, // a C1 control
        {"abc\xe2\x80\xae"
         "evil",
         false},                                 // right-to-left override
        {"abc\xe2\x81\xa6x\xe2\x81\xa9", false}, // an isolate
        {"a\xe2\x80\x8f", false},                // a right-to-left mark
        {std::string(256, 'x'), false},
        {"\xff", false},
    };
    for (const auto& [name, allowed] : cases) {
        EXPECT_EQ(newServerNameProblem(name).empty(), allowed) << name;
    }
}

TEST(ServerIdentityFile, WritesWhatItReads) {
    const ServerIdentity identity{"0f8fad5b-d9cb-469f-a165-70867728950e", "a\\b\nc\rd=e"};
    std::string problem;
    EXPECT_EQ(parseIdentityFile(identityFileText(identity), problem), identity) << problem;
}

} // namespace
} // namespace kqvdr
