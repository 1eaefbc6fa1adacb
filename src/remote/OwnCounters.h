#pragma once

#include <cstddef>
#include <optional>

namespace kqvdr::remote {

// The memory the process holds for itself, in bytes, as the system counts it; nothing when it
// cannot be read. What a flood of calls makes grow.
std::optional<std::size_t> residentBytes();

} // namespace kqvdr::remote
