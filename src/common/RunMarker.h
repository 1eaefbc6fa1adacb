#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace kqvdr {

// In the data folder: a system test whose operator's methods are not back on the instrument yet,
// and an automation that has not been stopped.
inline constexpr const char* kSystemTestMarkerFile = "SystemTest.running";
inline constexpr const char* kAutomationMarkerFile = "Automation.running";

// A small file that is there exactly while a job is under way: written when the job begins,
// removed when it has been wound up. One left behind at a start says that a power cut or a
// forced restart cut the job short. Lines of "key=value".
class RunMarker {
public:
    using Fields = std::vector<std::pair<std::string, std::string>>;

    explicit RunMarker(std::filesystem::path file) : file_(std::move(file)) {}

    // Written whole or not at all, so a power cut never leaves half a marker.
    std::error_code write(const Fields& fields) const;
    bool present() const;
    // The fields of a marker that is there; a damaged one reads as one without fields.
    std::optional<Fields> read() const;
    std::error_code remove() const;

    static std::string value(const Fields& fields, std::string_view key);
    const std::filesystem::path& file() const { return file_; }

private:
    std::filesystem::path file_;
};

} // namespace kqvdr
