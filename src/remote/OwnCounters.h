#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace kqvdr::remote {

// The process's resident memory in bytes; nothing when it cannot be read.
std::optional<std::size_t> residentBytes();

// What a TCP connection has received from its peer so far.
std::optional<std::uint64_t> bytesReceived(int descriptor);

} // namespace kqvdr::remote
