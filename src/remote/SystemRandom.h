#pragma once

#include <span>

namespace kqvdr {

// Fills `bytes` from the operating system's cryptographic random source; false when it gave
// none, and then nothing made from `bytes` may be used.
bool systemRandomBytes(std::span<unsigned char> bytes);

} // namespace kqvdr
