#pragma once

#include "ArchiveFile.h"
#include "MethodRecord.h"

#include <array>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace kqvdr {

inline constexpr const char* kMethodsFile = "Methods.mtd";
inline constexpr int kUserMethodCount = 10;
inline constexpr std::size_t kStringsPerMethod = 9;
inline constexpr std::size_t kMethodFileStrings = kUserMethodCount * kStringsPerMethod;

// Position of each of a method's nine strings within its group.
enum class MethodFileField : std::size_t {
    Number,
    Name,
    Description,
    Evaporator,
    Nebuliser,
    TransferLine,
    GasFlow,
    Autozero,
    TimeConstant,
};

// "Default.mtd" or "Test.mtd", with the "m" prefix for a fine gas-flow instrument, whose method
// files hold the gas flow in hundredths.
std::string defaultMethodsFileName(bool fineGasResolution);
std::string testMethodsFileName(bool fineGasResolution);

// A method file as read: its 90 strings, methods 1 to 10 in order.
struct MethodFile {
    ArchiveReadStatus status = ArchiveReadStatus::CannotOpen;
    std::vector<std::string> strings; // kMethodFileStrings when status is Ok
    std::error_code error;            // why it is Unreadable

    // One string of method 1 to 10.
    const std::string& text(int method, MethodFileField field) const;
    // Method 1 to 10 as the file holds it; its number is the argument, not the file's.
    MethodRecord record(int method) const;
};

MethodFile readMethodFile(const std::filesystem::path& path);

// The 90 strings of methods 1 to 10 of the table, numbers as decimal text.
std::vector<std::string> methodFileStrings(const MethodTable& table);

// Replaces the file with methods 1 to 10 of the table.
std::error_code writeMethodFile(const std::filesystem::path& path, const MethodTable& table);

} // namespace kqvdr
