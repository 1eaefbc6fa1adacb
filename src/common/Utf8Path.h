#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kqvdr {

// Text inside the program is UTF-8, but a path made from a plain std::string takes it in the
// system's narrow encoding, which on Windows is not UTF-8 (a user folder named "José" would be
// a different folder). Every path crosses that line through these two.
std::filesystem::path pathFromUtf8(std::string_view text);
std::string utf8FromPath(const std::filesystem::path& path);

} // namespace kqvdr
