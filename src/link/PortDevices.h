#pragma once

#include <optional>
#include <string>

namespace kqvdr {

inline constexpr int kPortCount = 4;

// Which device stands behind "COM 1" to "COM 4": /dev/ttyS0 to /dev/ttyS3 on Linux, COM1 to COM4
// on Windows, or one device given on the command line for whichever port is chosen (on Windows
// a plain "COM12" is made the device path \\.\COM12).
class PortDevices {
public:
    PortDevices() = default;
    explicit PortDevices(std::optional<std::string> deviceOverride)
        : override_(std::move(deviceOverride)) {}

    // The device path for port index 0..3, or empty for any other index.
    std::string devicePath(int portIndex) const;

private:
    std::optional<std::string> override_;
};

} // namespace kqvdr
