// Private files on Windows: the access list a private save gets, the one a shared save keeps,
// and the check that refuses a secret others may read.
#include "FileReplace.h"
#include "OwnerOnlyFile.h"
#include "OwnerOnlyFileWin32.h"
#include "TemporaryDirectory.h"
#include "WideText.h"

#include <aclapi.h>
#include <gtest/gtest.h>
#include <sddl.h>
#include <set>
#include <string>
#include <windows.h>

namespace kqvdr {
namespace {

namespace fs = std::filesystem;

std::wstring userSid() {
    std::error_code error;
    const std::wstring sid = currentUserSid(error);
    EXPECT_FALSE(error) << error.message();
    return sid;
}

// A descriptor in Windows' text form, freed when it goes.
class Descriptor {
public:
    explicit Descriptor(const std::wstring& text) {
        ok_ = ::ConvertStringSecurityDescriptorToSecurityDescriptorW(text.c_str(), SDDL_REVISION_1,
                                                                     &descriptor_, nullptr);
    }
    // The one a file on disk has.
    explicit Descriptor(const fs::path& file) {
        ok_ =
            ::GetNamedSecurityInfoW(file.c_str(), SE_FILE_OBJECT,
                                    OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, nullptr,
                                    nullptr, nullptr, nullptr, &descriptor_) == ERROR_SUCCESS;
    }
    ~Descriptor() { ::LocalFree(descriptor_); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    bool ok() const { return ok_; }
    PSECURITY_DESCRIPTOR get() const { return descriptor_; }
    PACL list() const {
        BOOL present = FALSE;
        BOOL defaulted = FALSE;
        PACL list = nullptr;
        ::GetSecurityDescriptorDacl(descriptor_, &present, &list, &defaulted);
        return present ? list : nullptr;
    }
    std::wstring owner() const {
        PSID owner = nullptr;
        BOOL defaulted = FALSE;
        ::GetSecurityDescriptorOwner(descriptor_, &owner, &defaulted);
        return owner ? sidText(owner) : L"";
    }
    std::wstring listText() const {
        LPWSTR text = nullptr;
        ::ConvertSecurityDescriptorToStringSecurityDescriptorW(
            descriptor_, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr);
        std::wstring result = text ? text : L"";
        ::LocalFree(text);
        return result;
    }
    static std::wstring sidText(PSID sid) {
        LPWSTR text = nullptr;
        ::ConvertSidToStringSidW(sid, &text);
        std::wstring result = text ? text : L"";
        ::LocalFree(text);
        return result;
    }

private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    BOOL ok_ = FALSE;
};

struct Entry {
    BYTE type;
    BYTE flags;
    ACCESS_MASK mask;
    std::wstring sid;
    bool operator<(const Entry& other) const { return sid < other.sid; }
};

std::vector<Entry> entriesOf(PACL list) {
    std::vector<Entry> entries;
    for (DWORD i = 0; list && i < list->AceCount; ++i) {
        void* ace = nullptr;
        ::GetAce(list, i, &ace);
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
        entries.push_back({allowed->Header.AceType, allowed->Header.AceFlags, allowed->Mask,
                           Descriptor::sidText(const_cast<DWORD*>(&allowed->SidStart))});
    }
    return entries;
}

const std::wstring kAdministrators = L"S-1-5-32-544";
const std::wstring kSystem = L"S-1-5-18";

TEST(Win32OwnerOnlyFile, APrivateDescriptorIsProtectedAndLetsInOnlyTheUserAndAdministrators) {
    const std::wstring user = userSid();
    ASSERT_FALSE(user.empty());
    const Descriptor descriptor(ownerOnlySecurityText(user));
    ASSERT_TRUE(descriptor.ok());
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(::GetSecurityDescriptorControl(descriptor.get(), &control, &revision));
    EXPECT_TRUE(control & SE_DACL_PROTECTED) << "the folder's entries must not be inherited";
    EXPECT_EQ(descriptor.owner(), user);
    auto entries = entriesOf(descriptor.list());
    ASSERT_EQ(entries.size(), 2u);
    std::set<std::wstring> trustees;
    for (const Entry& entry : entries) {
        EXPECT_EQ(entry.type, ACCESS_ALLOWED_ACE_TYPE);
        EXPECT_EQ(entry.flags, 0) << "neither inherited nor passed on";
        EXPECT_EQ(entry.mask, static_cast<ACCESS_MASK>(FILE_ALL_ACCESS));
        trustees.insert(entry.sid);
    }
    EXPECT_EQ(trustees, (std::set<std::wstring>{user, kAdministrators}));
}

// Wine keeps no access lists: it turns the one given at creation into a Unix mode and makes a
// list up from the mode when asked (SYSTEM, the owner, and Everyone when others may read).
// What both it and Windows show is whom the list lets in.
TEST(Win32OwnerOnlyFile, APrivateSaveLetsNoOneElseInEvenOverASharedFile) {
    test::TemporaryDirectory dir;
    const fs::path target = dir.file("users.json");
    for (const std::string content : {"first", "second"}) {
        ASSERT_FALSE(replaceFileContent(dir.file("shared.txt"), "x"));
        ASSERT_FALSE(
            replaceFileContent(target, content, systemFileWriteCalls(), FileAccess::OwnerOnly));
        EXPECT_EQ(test::readBytes(target), content);
        const Descriptor onDisk(target);
        ASSERT_TRUE(onDisk.ok());
        EXPECT_EQ(onDisk.owner(), userSid());
        for (const Entry& entry : entriesOf(onDisk.list())) {
            if (entry.type == ACCESS_ALLOWED_ACE_TYPE) {
                EXPECT_TRUE(entry.sid == userSid() || entry.sid == kAdministrators ||
                            entry.sid == kSystem)
                    << utf8FromWide(entry.sid) << " may open " << utf8FromWide(onDisk.listText());
            }
        }
        EXPECT_EQ(ownerOnlyProblem(target), "");
    }
    // A shared file replaced by a private save becomes private.
    ASSERT_FALSE(replaceFileContent(dir.file("shared.txt"), "now private", systemFileWriteCalls(),
                                    FileAccess::OwnerOnly));
    EXPECT_EQ(ownerOnlyProblem(dir.file("shared.txt")), "");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2)
        << "no temporary file stays behind";
}

TEST(Win32OwnerOnlyFile, ASharedSaveGetsWhatAnyNewFileInTheFolderGets) {
    test::TemporaryDirectory dir;
    const HANDLE plain = ::CreateFileW(dir.file("plain.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                       CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(plain, INVALID_HANDLE_VALUE);
    ::CloseHandle(plain);
    ASSERT_FALSE(replaceFileContent(dir.file("saved.txt"), "shared"));
    const Descriptor saved(dir.file("saved.txt"));
    const Descriptor made(dir.file("plain.txt"));
    ASSERT_TRUE(saved.ok() && made.ok());
    EXPECT_EQ(saved.listText(), made.listText());
    EXPECT_EQ(test::readBytes(dir.file("saved.txt")), "shared");
}

std::wstring withUser(std::wstring text, const std::wstring& user) {
    for (std::size_t at = text.find(L"%U"); at != std::wstring::npos; at = text.find(L"%U")) {
        text.replace(at, 2, user);
    }
    return text;
}

TEST(Win32OwnerOnlyFile, TheCheckRefusesEveryListThatLetsSomeoneElseAtTheContent) {
    struct Case {
        const wchar_t* descriptor; // %U: this user
        const char* refused;       // the SIDs named in the repair, "" when accepted
    };
    const Case cases[] = {
        {L"O:%UD:P(A;;FA;;;%U)(A;;FA;;;BA)", ""},
        {L"O:%UD:P(A;;FA;;;%U)(A;;FA;;;BA)(A;;FA;;;SY)", ""},
        {L"O:S-1-5-21-7-7-7-1001D:P(A;;FA;;;S-1-5-21-7-7-7-1001)(A;;FA;;;BA)", ""},
        {L"O:%UD:(A;;FA;;;%U)(D;;FA;;;WD)", ""},                         // a denial lets no one in
        {L"O:%UD:(A;;FA;;;%U)(A;OICIIO;FA;;;BU)", ""},                   // for a folder's children
        {L"O:%UD:(A;;FA;;;%U)(A;;0x100080;;;WD)", ""},                   // attributes, no content
        {L"O:%UD:(A;;FA;;;%U)(A;;FR;;;WD)", " *S-1-1-0"},                // Everyone reads
        {L"O:%UD:(A;ID;FA;;;%U)(A;ID;0x1200a9;;;BU)", " *S-1-5-32-545"}, // inherited still counts
        {L"O:%UD:(A;;FA;;;%U)(A;;FW;;;AU)", " *S-1-5-11"},               // writing counts as well
        {L"O:%UD:(A;;FA;;;%U)(A;;GR;;;WD)", " *S-1-1-0"},                // generic read
        {L"O:%UD:(A;;FA;;;%U)(A;;WD;;;BU)", " *S-1-5-32-545"},           // may change the list
        {L"O:%UD:(A;;FA;;;%U)(A;;FR;;;WD)(A;;FW;;;WD)(A;;FR;;;BU)", " *S-1-1-0 *S-1-5-32-545"},
        {L"O:S-1-5-21-7-7-7-1001D:(A;;FA;;;S-1-5-21-7-7-7-1001)(A;;FR;;;%U)", " *%U"},
    };
    const std::wstring user = userSid();
    const fs::path file = L"C:\\Data\\users.json";
    for (const Case& c : cases) {
        const std::wstring text = withUser(c.descriptor, user);
        const Descriptor descriptor(text);
        ASSERT_TRUE(descriptor.ok()) << utf8FromWide(text);
        const std::string problem = accessListProblem(descriptor.get(), file);
        const std::string refused = utf8FromWide(withUser(wideFromUtf8(c.refused), user));
        if (refused.empty()) {
            EXPECT_EQ(problem, "") << utf8FromWide(text);
            continue;
        }
        const std::string owner = utf8FromWide(descriptor.owner());
        EXPECT_TRUE(problem.starts_with("others may read it (")) << problem;
        EXPECT_TRUE(problem.ends_with("; only its owner may: icacls \"C:\\Data\\users.json\" "
                                      "/inheritance:r /grant:r *" +
                                      owner + ":F *S-1-5-32-544:F /remove" + refused))
            << problem;
    }
}

TEST(Win32OwnerOnlyFile, AFileWithoutAnAccessListIsOpenToAnyone) {
    const std::wstring user = userSid();
    const Descriptor owned(L"O:" + user);
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    ASSERT_TRUE(owned.ok() && ::GetSecurityDescriptorOwner(owned.get(), &owner, &defaulted));
    // Made by hand: Wine reads "D:NO_ACCESS_CONTROL" as an empty list rather than none.
    SECURITY_DESCRIPTOR open{};
    ASSERT_TRUE(::InitializeSecurityDescriptor(&open, SECURITY_DESCRIPTOR_REVISION));
    ASSERT_TRUE(::SetSecurityDescriptorOwner(&open, owner, FALSE));
    ASSERT_TRUE(::SetSecurityDescriptorDacl(&open, TRUE, nullptr, FALSE));
    const std::string problem = accessListProblem(&open, L"C:\\Data\\users.json");
    EXPECT_TRUE(problem.starts_with("anyone may read it (it has no access list)")) << problem;
    EXPECT_TRUE(problem.ends_with("/grant:r *" + utf8FromWide(user) + ":F *S-1-5-32-544:F"))
        << problem;
}

} // namespace
} // namespace kqvdr
