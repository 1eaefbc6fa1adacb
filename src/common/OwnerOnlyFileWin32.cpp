#include "OwnerOnlyFileWin32.h"

#include "OwnerOnlyFile.h"
#include "Utf8Path.h"
#include "WideText.h"
#include "WindowsError.h"

#include <aclapi.h>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <sddl.h>
#include <vector>

namespace kqvdr {
namespace {

// Rights that let a trustee at the content, or let it give itself that right.
constexpr ACCESS_MASK kContentRights = FILE_READ_DATA | FILE_WRITE_DATA | FILE_APPEND_DATA |
                                       GENERIC_READ | GENERIC_WRITE | GENERIC_ALL | WRITE_DAC |
                                       WRITE_OWNER;

std::wstring sidText(PSID sid) {
    LPWSTR text = nullptr;
    if (!::ConvertSidToStringSidW(sid, &text)) {
        return L"?";
    }
    std::wstring result(text);
    ::LocalFree(text);
    return result;
}

// DOMAIN\name as Windows shows it, or the SID where the account is unknown here.
std::string trusteeName(PSID sid) {
    wchar_t name[256];
    wchar_t domain[256];
    DWORD nameSize = 256;
    DWORD domainSize = 256;
    SID_NAME_USE use{};
    if (!::LookupAccountSidW(nullptr, sid, name, &nameSize, domain, &domainSize, &use)) {
        return utf8FromWide(sidText(sid));
    }
    const std::wstring full = domainSize > 0 ? std::wstring(domain) + L"\\" + name : name;
    return utf8FromWide(full);
}

bool trusted(PSID sid, PSID owner) {
    return (owner && ::EqualSid(sid, owner)) ||
           ::IsWellKnownSid(sid, WinBuiltinAdministratorsSid) ||
           ::IsWellKnownSid(sid, WinLocalSystemSid);
}

// Allowed entries that apply to the file itself and let someone else at its content.
std::vector<PSID> othersLetIn(PACL list, PSID owner) {
    std::vector<PSID> others;
    for (DWORD i = 0; i < list->AceCount; ++i) {
        void* entry = nullptr;
        if (!::GetAce(list, i, &entry)) {
            continue;
        }
        const auto* header = static_cast<const ACE_HEADER*>(entry);
        if (header->AceFlags & INHERIT_ONLY_ACE) {
            continue; // only for what is made inside a folder
        }
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE &&
            header->AceType != ACCESS_ALLOWED_CALLBACK_ACE_TYPE) {
            continue;
        }
        // Both kinds share the plain entry's layout: mask, then the SID.
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
        PSID sid = &allowed->SidStart;
        if ((allowed->Mask & kContentRights) == 0 || trusted(sid, owner)) {
            continue;
        }
        const bool named = std::any_of(others.begin(), others.end(),
                                       [sid](PSID seen) { return ::EqualSid(seen, sid); });
        if (!named) {
            others.push_back(sid);
        }
    }
    return others;
}

// The icacls command that leaves the owner and the Administrators alone in the list.
std::string repairCommand(const std::filesystem::path& file, PSID owner,
                          const std::vector<PSID>& others) {
    std::error_code ignored;
    const std::wstring ownerSid = owner ? sidText(owner) : currentUserSid(ignored);
    std::string command = "icacls \"" + utf8FromPath(file) + "\" /inheritance:r /grant:r *" +
                          utf8FromWide(ownerSid) + ":F *S-1-5-32-544:F";
    if (!others.empty()) {
        command += " /remove";
        for (PSID sid : others) {
            command += " *" + utf8FromWide(sidText(sid));
        }
    }
    return command;
}

} // namespace

std::wstring currentUserSid(std::error_code& error) {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
        error = lastWindowsError();
        return {};
    }
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    std::wstring text;
    LPWSTR converted = nullptr;
    if (size > 0 && ::GetTokenInformation(token, TokenUser, buffer.data(), size, &size) &&
        ::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid,
                                 &converted)) {
        text = converted;
        ::LocalFree(converted);
    } else {
        error = lastWindowsError();
    }
    ::CloseHandle(token);
    return text;
}

std::wstring ownerOnlySecurityText(const std::wstring& userSid) {
    // P: the folder's entries are not inherited. FA: all access.
    return L"O:" + userSid + L"D:P(A;;FA;;;" + userSid + L")(A;;FA;;;BA)";
}

int createOwnerOnlyFile(const std::filesystem::path& path, std::error_code& error) {
    const std::wstring user = currentUserSid(error);
    if (error) {
        return -1;
    }
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(
            ownerOnlySecurityText(user).c_str(), SDDL_REVISION_1, &descriptor, nullptr)) {
        error = lastWindowsError();
        return -1;
    }
    // Private from its first moment: there is no window in which the folder's list applies.
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, &attributes, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD code = ::GetLastError();
    ::LocalFree(descriptor);
    if (handle == INVALID_HANDLE_VALUE) {
        error = windowsError(code);
        return -1;
    }
    errno = 0;
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
        error = {errno ? errno : EMFILE, std::generic_category()};
        ::CloseHandle(handle);
    }
    return fd;
}

std::string accessListProblem(PSECURITY_DESCRIPTOR descriptor, const std::filesystem::path& file) {
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL list = nullptr;
    PSID owner = nullptr;
    ::GetSecurityDescriptorOwner(descriptor, &owner, &defaulted);
    if (!::GetSecurityDescriptorDacl(descriptor, &present, &list, &defaulted)) {
        return {};
    }
    if (!present || !list) {
        return "anyone may read it (it has no access list); only its owner may: " +
               repairCommand(file, owner, {});
    }
    const std::vector<PSID> others = othersLetIn(list, owner);
    if (others.empty()) {
        return {};
    }
    std::string names;
    for (std::size_t i = 0; i < others.size(); ++i) {
        names += (i == 0 ? "" : i + 1 == others.size() ? " and " : ", ") + trusteeName(others[i]);
    }
    return "others may read it (its access list lets in " + names +
           "); only its owner may: " + repairCommand(file, owner, others);
}

std::string ownerOnlyProblem(const std::filesystem::path& file) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetNamedSecurityInfoW(file.c_str(), SE_FILE_OBJECT,
                                OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, nullptr,
                                nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
        return {};
    }
    std::string problem = accessListProblem(descriptor, file);
    ::LocalFree(descriptor);
    return problem;
}

} // namespace kqvdr
