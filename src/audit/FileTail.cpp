#include "FileTail.h"

#include <fstream>

namespace kqvdr {

std::error_code readFileTail(const std::filesystem::path& file, std::size_t maxBytes,
                             FileTail& tail) {
    tail = {};
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in) {
        return std::make_error_code(std::errc::no_such_file_or_directory);
    }
    const auto size = static_cast<std::size_t>(static_cast<std::streamoff>(in.tellg()));
    const std::size_t start = size > maxBytes ? size - maxBytes : 0;
    in.seekg(static_cast<std::streamoff>(start));
    std::string bytes(size - start, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!in) {
        return std::make_error_code(std::errc::io_error);
    }
    tail.endsWithLineBreak = bytes.empty() || bytes.back() == '\n';
    std::size_t at = 0;
    if (start > 0) {
        const std::size_t first = bytes.find('\n');
        at = first == std::string::npos ? bytes.size() : first + 1; // cut by the window
    }
    while (at < bytes.size()) {
        std::size_t end = bytes.find('\n', at);
        if (end == std::string::npos) {
            end = bytes.size();
        }
        std::string line = bytes.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        tail.lines.push_back(std::move(line));
        at = end + 1;
    }
    return {};
}

} // namespace kqvdr
