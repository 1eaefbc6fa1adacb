#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

namespace kqvdr {

inline constexpr const char* kPortFile = "KQ-VDR 1000.ini";

// "COM 1" .. "COM 4" to 0 .. 3; nothing for any other text.
std::optional<int> portIndexFromText(const std::string& text);
std::string portText(int portIndex);

// The port index stored in the port file, or nothing when the file cannot be opened. A file
// holding anything but a port text, damaged ones included, means the first port.
std::optional<int> readPortFile(const std::filesystem::path& programDir);

// Replaces the port file; the reason when it cannot be written.
std::error_code writePortFile(const std::filesystem::path& programDir, const std::string& portText);

} // namespace kqvdr
