// Any bytes as an operational log for the CSV export: no out-of-bounds access, every non-empty
// line is either a row or counted as left out, and every row is dated.
#include "Clock.h"
#include "LogCsv.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const kqvdr::LocalTime written{2026, 10, 25, 2, 30, 0, 0, 60};
    const kqvdr::LogCsv csv = kqvdr::logToCsv(text, written);
    std::size_t lines = 0;
    for (std::string_view rest = text; !rest.empty();) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (!line.empty() && line != "\r") {
            ++lines;
        }
    }
    std::size_t records = 0;
    for (std::size_t at = 0; (at = csv.text.find("\r\n", at)) != std::string::npos; at += 2) {
        ++records;
    }
    if (csv.rows + csv.skipped != lines || records < csv.rows + 1 ||
        csv.text.rfind("Date,Time,", 0) != 0) {
        std::abort();
    }
    return 0;
}
