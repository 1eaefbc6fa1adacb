#include "FileTail.h"

#include "FileReplace.h"

namespace kqvdr {

std::error_code readFileTail(const std::filesystem::path& file, std::size_t maxBytes,
                             FileTail& tail) {
    tail = {};
    std::string bytes;
    std::uint64_t start = 0;
    if (const auto error = readFileEnd(file, maxBytes, bytes, start)) {
        return error;
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
