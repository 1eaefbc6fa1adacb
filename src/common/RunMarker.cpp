#include "RunMarker.h"

#include "FileReplace.h"

namespace kqvdr {
namespace {

constexpr std::size_t kLargestMarker = 64 * 1024;

// Values are one line each: a line break inside one would start a field of its own.
std::string oneLine(std::string_view text) {
    std::string out;
    for (const char c : text) {
        out += c == '\n' || c == '\r' ? ' ' : c;
    }
    return out;
}

} // namespace

std::error_code RunMarker::write(const Fields& fields) const {
    std::string text;
    for (const auto& [key, value] : fields) {
        text += oneLine(key) + "=" + oneLine(value) + "\n";
    }
    return replaceFileContent(file_, text);
}

bool RunMarker::present() const {
    std::error_code error;
    const auto status = std::filesystem::symlink_status(file_, error);
    return !error && std::filesystem::exists(status);
}

std::optional<RunMarker::Fields> RunMarker::read() const {
    if (!present()) {
        return std::nullopt;
    }
    std::string text;
    Fields fields;
    if (readWholeFile(file_, text, kLargestMarker)) {
        return fields;
    }
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string_view line(text.data() + at, end - at);
        if (const std::size_t equals = line.find('='); equals != std::string_view::npos) {
            fields.emplace_back(std::string(line.substr(0, equals)),
                                std::string(line.substr(equals + 1)));
        }
        at = end + 1;
    }
    return fields;
}

std::error_code RunMarker::remove() const {
    std::error_code error;
    std::filesystem::remove(file_, error);
    return error;
}

std::string RunMarker::value(const Fields& fields, std::string_view key) {
    for (const auto& [name, text] : fields) {
        if (name == key) {
            return text;
        }
    }
    return {};
}

} // namespace kqvdr
