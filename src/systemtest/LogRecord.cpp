#include "LogRecord.h"

#include <charconv>
#include <cstdlib>

namespace kqvdr {
namespace {

constexpr std::size_t kPieceLength = 79;
constexpr std::size_t kTimeBuffer = 11;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A cursor over the line with the scanf conversions the record needs.
class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    bool word(std::string& out) {
        skipBlanks();
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !isBlank(text_[pos_])) {
            ++pos_;
        }
        out.assign(text_.substr(start, pos_ - start));
        return pos_ > start;
    }

    bool integer(int& out) {
        skipBlanks();
        const std::size_t start = pos_;
        if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) {
            ++pos_;
        }
        const std::size_t digits = pos_;
        while (pos_ < text_.size() && isDigit(text_[pos_])) {
            ++pos_;
        }
        if (pos_ == digits) {
            return false;
        }
        const char* first = text_.data() + start + (text_[start] == '+' ? 1 : 0);
        const auto result = std::from_chars(first, text_.data() + pos_, out);
        return result.ec == std::errc{};
    }

    bool decimal(float& out) {
        skipBlanks();
        std::string number;
        if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) {
            if (text_[pos_] == '-') {
                number += '-';
            }
            ++pos_;
        }
        std::size_t digits = takeDigits(number);
        if (pos_ < text_.size() && (text_[pos_] == '.' || text_[pos_] == ',')) {
            number += '.';
            ++pos_;
            digits += takeDigits(number);
        }
        if (digits == 0) {
            return false;
        }
        if (pos_ + 1 < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
            std::size_t at = pos_ + 1;
            if (text_[at] == '+' || text_[at] == '-') {
                ++at;
            }
            if (at < text_.size() && isDigit(text_[at])) {
                number += text_.substr(pos_, at - pos_);
                pos_ = at;
                takeDigits(number);
            }
        }
        const auto result = std::from_chars(number.data(), number.data() + number.size(), out);
        return result.ec == std::errc{} || result.ec == std::errc::result_out_of_range;
    }

private:
    void skipBlanks() {
        while (pos_ < text_.size() && isBlank(text_[pos_])) {
            ++pos_;
        }
    }
    std::size_t takeDigits(std::string& number) {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && isDigit(text_[pos_])) {
            number += text_[pos_++];
        }
        return pos_ - start;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

} // namespace

double widen(float value) {
    char buffer[32];
    const auto printed = std::to_chars(buffer, buffer + sizeof buffer, value);
    double result = value;
    std::from_chars(buffer, printed.ptr, result);
    return result;
}

bool readLogRecord(std::string_view line, LogRecord& record) {
    Scanner scan(line);
    std::string busy;
    std::string transfer;
    std::string error;
    return scan.word(record.time) && record.time.size() <= kTimeBuffer &&
           scan.integer(record.nebSet) && scan.integer(record.evapSet) &&
           scan.integer(record.transferSet) && scan.decimal(record.gasSet) &&
           scan.decimal(record.nebTemp) && scan.decimal(record.evapTemp) &&
           scan.decimal(record.gasFlow) && scan.decimal(record.detector) &&
           scan.decimal(record.exhaust) && scan.word(record.mode) && scan.word(record.ready) &&
           scan.word(busy) && scan.word(transfer) && scan.integer(record.method) &&
           scan.word(error);
}

bool LogPieceReader::next(std::string_view& piece) {
    if (at_ >= text_.size()) {
        return false;
    }
    const std::size_t lineEnd = text_.find('\n', at_);
    const std::size_t end = lineEnd == std::string_view::npos ? text_.size() : lineEnd;
    // A CR before the line break is part of the break, not of the line. A line of 79 characters
    // or more fills the buffer: its line break, or its rest, comes as the next piece.
    const bool crlf = end > at_ && end < text_.size() && text_[end - 1] == '\r';
    const std::size_t content = (crlf ? end - 1 : end) - at_;
    if (content >= kPieceLength) {
        piece = text_.substr(at_, kPieceLength);
        at_ += kPieceLength;
        return true;
    }
    piece = text_.substr(at_, content);
    at_ = end == text_.size() ? end : end + 1;
    return true;
}

} // namespace kqvdr
