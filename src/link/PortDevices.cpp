#include "PortDevices.h"

namespace kqvdr {

std::string PortDevices::devicePath(int portIndex) const {
    if (portIndex < 0 || portIndex >= kPortCount) {
        return {};
    }
    if (override_) {
        return *override_;
    }
#ifdef _WIN32
    return "\\\\.\\COM" + std::to_string(portIndex + 1);
#else
    return "/dev/ttyS" + std::to_string(portIndex);
#endif
}

} // namespace kqvdr
