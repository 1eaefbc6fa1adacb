#pragma once

#ifdef _WIN32

#include <filesystem>
#include <string>
#include <system_error>
#include <windows.h>

namespace kqvdr {

// The account this process runs as, as a SID string ("S-1-5-21-…").
std::wstring currentUserSid(std::error_code& error);

// A security descriptor, in Windows' own text form, that makes `userSid` the owner and lets
// only it and the Administrators in, inheriting nothing from the folder.
std::wstring ownerOnlySecurityText(const std::wstring& userSid);

// Creates `path`, which must not exist, with that descriptor for the current user, open for
// writing as a C library descriptor; -1 and `error` when it cannot be.
int createOwnerOnlyFile(const std::filesystem::path& path, std::error_code& error);

// Why a file with this descriptor may be read by others; empty when only its owner, the
// Administrators and SYSTEM may. `file` is only named in the command that repairs it.
std::string accessListProblem(PSECURITY_DESCRIPTOR descriptor, const std::filesystem::path& file);

} // namespace kqvdr

#endif
