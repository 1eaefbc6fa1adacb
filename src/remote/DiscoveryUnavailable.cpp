#include "Discovery.h"

namespace kqvdr {

struct Discovery::Impl {};

Discovery::Discovery(DiscoveryInfo) {}

Discovery::~Discovery() = default;

bool Discovery::announced() const {
    return false;
}

std::string Discovery::state() const {
    return "Not announced: Avahi is not available in this build.";
}

} // namespace kqvdr
