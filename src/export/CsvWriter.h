#pragma once

#include <string>
#include <string_view>

namespace kqvdr {

// Comma-separated values as RFC 4180 has them: records end in CR LF, and a field holding a
// comma, a double quote, CR or LF is put in double quotes with its quotes doubled. Numbers are
// written with a point whatever the locale, so a spreadsheet reads the same file everywhere.
class CsvWriter {
public:
    // Any range of texts: one record.
    template <typename Fields> void record(const Fields& fields) {
        bool first = true;
        for (const auto& value : fields) {
            text_ += first ? field(value) : "," + field(value);
            first = false;
        }
        text_ += "\r\n";
    }

    const std::string& text() const { return text_; }

    static std::string field(std::string_view value);
    static std::string number(double value, int decimals);

private:
    std::string text_;
};

} // namespace kqvdr
