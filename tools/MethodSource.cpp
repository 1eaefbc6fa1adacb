#include "MethodSource.h"

#include "MethodFile.h"
#include "MethodLimits.h"

#include <array>
#include <charconv>
#include <optional>

namespace kqvdr {
namespace {

enum Key : std::size_t {
    Name,
    Description,
    Evaporator,
    Nebuliser,
    TransferLine,
    GasFlow,
    Autozero,
    TimeConstant,
    KeyCount,
};

constexpr std::array<std::string_view, KeyCount> kKeys = {
    "name",          "description", "evaporator", "nebuliser",
    "transfer-line", "gas-flow",    "autozero",   "time-constant",
};

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// Plain decimal digits with an optional minus sign and nothing else.
std::optional<int> strictInt(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

class Parser {
public:
    MethodSource run(std::string_view text) {
        std::size_t start = 0;
        while (start <= text.size()) {
            auto end = text.find('\n', start);
            if (end == std::string_view::npos) {
                end = text.size();
            }
            ++line_;
            take(trim(text.substr(start, end - start)));
            start = end + 1;
        }
        finishMethod();
        if (!unitsSeen_) {
            fail("no units line");
        }
        if (method_ != kUserMethodCount) {
            fail("expected methods 1 to 10, found " + std::to_string(method_));
        }
        return std::move(source_);
    }

private:
    void fail(const std::string& why) {
        source_.errors.push_back("line " + std::to_string(line_) + ": " + why);
    }

    void take(std::string_view line) {
        if (line.empty() || line.front() == '#') {
            return;
        }
        const auto space = line.find_first_of(" \t");
        const std::string_view key = line.substr(0, space);
        const std::string_view value =
            space == std::string_view::npos ? std::string_view{} : trim(line.substr(space));
        if (key == "units") {
            units(value);
        } else if (key == "method") {
            startMethod(value);
        } else {
            field(key, value);
        }
    }

    void units(std::string_view value) {
        if (unitsSeen_ || method_ != 0) {
            fail("units must come once, before the methods");
        } else if (value != "tenths" && value != "hundredths") {
            fail("units must be tenths or hundredths");
        }
        unitsSeen_ = true;
        source_.hundredths = value == "hundredths";
    }

    void startMethod(std::string_view value) {
        finishMethod();
        const auto number = strictInt(value);
        if (!number || *number != method_ + 1) {
            fail("expected method " + std::to_string(method_ + 1));
        }
        ++method_;
        seen_ = {};
    }

    void field(std::string_view key, std::string_view value) {
        std::size_t index = 0;
        while (index < KeyCount && kKeys[index] != key) {
            ++index;
        }
        if (index == KeyCount) {
            fail("unknown key \"" + std::string(key) + "\"");
            return;
        }
        if (method_ < 1 || method_ > kUserMethodCount) {
            fail("\"" + std::string(key) + "\" outside a method");
            return;
        }
        MethodRecord& record = source_.methods[static_cast<std::size_t>(method_)];
        if (seen_[index] && index != Description) {
            fail("\"" + std::string(key) + "\" given twice");
        }
        if (index == Name) {
            record.name = value;
        } else if (index == Description) {
            record.description += (seen_[index] ? "\r\n" : "") + std::string(value);
        } else if (const auto number = strictInt(value)) {
            int* targets[] = {&record.evaporatorTemp,   &record.nebuliserTemp,
                              &record.transferLineTemp, &record.gasFlow,
                              &record.autozeroOffset,   &record.timeConstant};
            *targets[index - Evaporator] = *number;
        } else {
            fail("\"" + std::string(key) + "\" needs a whole number");
        }
        seen_[index] = true;
    }

    void finishMethod() {
        if (method_ < 1 || method_ > kUserMethodCount) {
            return;
        }
        for (std::size_t index = 0; index < KeyCount; ++index) {
            if (!seen_[index]) {
                fail("method " + std::to_string(method_) + " has no " + std::string(kKeys[index]));
            }
        }
        MethodRecord& record = source_.methods[static_cast<std::size_t>(method_)];
        record.number = method_;
        if (record.name.empty()) {
            fail("method " + std::to_string(method_) + " has an empty name");
        }
        if (const auto outside = setpointOutOfRange(record, source_.hundredths)) {
            fail("method " + std::to_string(method_) + ": " + *outside);
        }
    }

    MethodSource source_;
    int line_ = 0;
    int method_ = 0;
    bool unitsSeen_ = false;
    std::array<bool, KeyCount> seen_{};
};

} // namespace

MethodSource parseMethodSource(std::string_view text) {
    return Parser().run(text);
}

} // namespace kqvdr
