#include "OperatingSystemUser.h"

#include <vector>

#ifdef _WIN32
#include "WideText.h"

#include <windows.h>
// security.h needs the declarations of windows.h before it, and SECURITY_WIN32 for its user part.
#define SECURITY_WIN32
#include <security.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

namespace kqvdr {

#ifdef _WIN32

std::string operatingSystemUser() {
    ULONG size = 0;
    ::GetUserNameExW(NameSamCompatible, nullptr, &size);
    if (size > 0) {
        std::wstring name(size, L'\0');
        if (::GetUserNameExW(NameSamCompatible, name.data(), &size)) {
            name.resize(size);
            return utf8FromWide(name);
        }
    }
    // Without a domain answer (a broken secure channel), the plain account name still holds.
    DWORD plainSize = 0;
    ::GetUserNameW(nullptr, &plainSize);
    if (plainSize > 0) {
        std::wstring name(plainSize, L'\0');
        if (::GetUserNameW(name.data(), &plainSize)) {
            name.resize(plainSize > 0 ? plainSize - 1 : 0);
            return utf8FromWide(name);
        }
    }
    return "unknown";
}

#else

std::string operatingSystemUser() {
    const uid_t uid = ::geteuid();
    long bufferSize = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(static_cast<std::size_t>(bufferSize > 0 ? bufferSize : 16384));
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_name != nullptr && *found->pw_name != '\0') {
        return found->pw_name;
    }
    // A container's user may have no name; its number still tells the accounts apart.
    return "uid " + std::to_string(uid);
}

#endif

} // namespace kqvdr
