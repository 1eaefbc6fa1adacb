#include "PresentPorts.h"

namespace kqvdr {

std::string presentPortLabel(const PresentPort& port) {
    return port.name.empty() ? port.port : port.port + "  " + port.name;
}

} // namespace kqvdr
