#include "PortDevices.h"

#include "PortName.h"

namespace kqvdr {

#ifdef _WIN32
namespace {

// "COM5" names a port only up to COM9 unless written as a device path; write every one so.
std::string windowsDevicePath(const std::string& name) {
    const bool plainPortName = name.size() > 3 && (name[0] == 'C' || name[0] == 'c') &&
                               (name[1] == 'O' || name[1] == 'o') &&
                               (name[2] == 'M' || name[2] == 'm') &&
                               name.find_first_not_of("0123456789", 3) == std::string::npos;
    return plainPortName ? "\\\\.\\" + name : name;
}

} // namespace
#endif

std::string PortDevices::devicePath(const std::string& port) const {
    const std::optional<std::string> named = portFromText(port);
    if (!named || *named != port) {
        return {};
    }
    const int number = comPortNumber(port);
#ifdef _WIN32
    if (override_) {
        return windowsDevicePath(*override_);
    }
    return number > 0 ? "\\\\.\\COM" + std::to_string(number) : std::string();
#else
    if (override_) {
        return *override_;
    }
    return number > 0 ? "/dev/ttyS" + std::to_string(number - 1) : port;
#endif
}

} // namespace kqvdr
