#pragma once

#include <filesystem>
#include <string>
#include <system_error>

namespace kqvdr {

inline constexpr const char* kPortFile = "KQ-VDR 1000.ini";

// What the port file holds: a port, nothing (it cannot be opened), or something that names no
// port (damaged, or a text no port answers to).
struct StoredPort {
    enum class Status { Missing, Damaged, Port };
    Status status = Status::Missing;
    std::string port; // the port text when there is one: "COM 3", "COM 12", "/dev/ttyUSB0"
};

StoredPort readPortFile(const std::filesystem::path& programDir);

// Replaces the port file; the reason when it cannot be written.
std::error_code writePortFile(const std::filesystem::path& programDir, const std::string& portText);

} // namespace kqvdr
