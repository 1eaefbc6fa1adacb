#pragma once

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace kqvdr {

// The whole lines within the last maxBytes of a file, oldest first, without their line ends.
// A trail of years is never read whole to show or continue its end.
struct FileTail {
    std::vector<std::string> lines;
    bool endsWithLineBreak = true; // false: the last line was cut off while being written
};
std::error_code readFileTail(const std::filesystem::path& file, std::size_t maxBytes,
                             FileTail& tail);

} // namespace kqvdr
