#pragma once

#include <optional>
#include <string>

namespace kqvdr {

// Which device stands behind a port: "COM n" is /dev/ttyS(n-1) on Linux and \\.\COMn on
// Windows, a device path is itself, and one device given on the command line stands behind
// whichever port is chosen (on Windows a plain "COM12" is made the device path \\.\COM12).
class PortDevices {
public:
    PortDevices() = default;
    explicit PortDevices(std::optional<std::string> deviceOverride)
        : override_(std::move(deviceOverride)) {}

    // The device path for a port text, or empty for a text that names no port.
    std::string devicePath(const std::string& port) const;

private:
    std::optional<std::string> override_;
};

} // namespace kqvdr
