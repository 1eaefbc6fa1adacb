#pragma once

#include <cstdint>

namespace kqvdr::remote {

// Raises the process's soft limit of open descriptors to its hard limit, so that many clients
// at once run the server out of descriptors as late as the system allows. Gives the soft limit
// now in force (0 when it cannot be read). Windows has no such limit: there it gives the system's
// limit of handles.
std::uint64_t raiseDescriptorLimit();

} // namespace kqvdr::remote
