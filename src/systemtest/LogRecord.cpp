#include "LogRecord.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace kqvdr {
namespace {

constexpr std::size_t kTimeBuffer = 11;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Every number in a log line is a 16-bit instrument word, at most scaled down.
constexpr float kLargestReading = 32768.0f;
constexpr int kSmallestWord = -32768;
constexpr int kLargestWord = 32767;

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
        return result.ec == std::errc{} && out >= kSmallestWord && out <= kLargestWord;
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
        // Out of range leaves `out` as it was: the previous line's value must not pass as this
        // line's.
        const auto result = std::from_chars(number.data(), number.data() + number.size(), out);
        return result.ec == std::errc{} && std::abs(out) <= kLargestReading;
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

bool controlCharacter(char c) {
    return static_cast<unsigned char>(c) < 0x20 && !isBlank(c);
}

// One or two digits.
bool timeField(std::string_view text, int largest) {
    if (text.empty() || text.size() > 2 || !isDigit(text[0]) ||
        (text.size() == 2 && !isDigit(text[1]))) {
        return false;
    }
    const int value = text.size() == 2 ? (text[0] - '0') * 10 + (text[1] - '0') : text[0] - '0';
    return value <= largest;
}

bool timeOfDay(std::string_view time) {
    const std::size_t first = time.find(':');
    const std::size_t second = first == std::string_view::npos ? first : time.find(':', first + 1);
    if (second == std::string_view::npos) {
        return false;
    }
    return timeField(time.substr(0, first), 23) &&
           timeField(time.substr(first + 1, second - first - 1), 59) &&
           timeField(time.substr(second + 1), 59);
}

} // namespace

double widen(float value) {
    char buffer[32];
    const auto printed = std::to_chars(buffer, buffer + sizeof buffer, value);
    double result = value;
    std::from_chars(buffer, printed.ptr, result);
    return result;
}

bool blankLine(std::string_view line) {
    for (const char c : line) {
        if (!isBlank(c)) {
            return false;
        }
    }
    return true;
}

bool readLogRecord(std::string_view line, LogRecord& record) {
    for (const char c : line) {
        if (controlCharacter(c)) {
            return false;
        }
    }
    Scanner scan(line);
    std::string busy;
    std::string transfer;
    std::string error;
    return scan.word(record.time) && record.time.size() <= kTimeBuffer && timeOfDay(record.time) &&
           scan.integer(record.nebSet) && scan.integer(record.evapSet) &&
           scan.integer(record.transferSet) && scan.decimal(record.gasSet) &&
           scan.decimal(record.nebTemp) && scan.decimal(record.evapTemp) &&
           scan.decimal(record.gasFlow) && scan.decimal(record.detector) &&
           scan.decimal(record.exhaust) && scan.word(record.mode) && scan.word(record.ready) &&
           scan.word(busy) && scan.word(transfer) && scan.integer(record.method) &&
           scan.word(error);
}

LogLineReader::LogLineReader(std::string_view text) : text_(text) {
    if (text_.starts_with(kByteOrderMark)) {
        at_ = kByteOrderMark.size();
    }
}

bool LogLineReader::next(std::string_view& line) {
    if (at_ >= text_.size()) {
        return false;
    }
    const std::size_t end = text_.find_first_of("\r\n", at_);
    if (end == std::string_view::npos) {
        line = text_.substr(at_);
        at_ = text_.size();
    } else {
        line = text_.substr(at_, end - at_);
        const bool crlf = text_[end] == '\r' && end + 1 < text_.size() && text_[end + 1] == '\n';
        at_ = end + (crlf ? 2 : 1);
    }
    ++number_;
    return true;
}

} // namespace kqvdr
