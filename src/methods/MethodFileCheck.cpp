#include "MethodFileCheck.h"

#include "MethodLimits.h"

#include <cctype>
#include <string_view>

namespace kqvdr {
namespace {

// Optional blanks and sign, then digits and nothing else but blanks. Seven digits are more than
// any setpoint has, so a longer text is out of range whatever its value.
std::optional<long> wholeNumber(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    long value = 0;
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return std::nullopt;
        }
        value = value < 10'000'000 ? value * 10 + (c - '0') : value;
    }
    return negative ? -value : value;
}

} // namespace

std::optional<std::string> methodFileProblem(const MethodFile& file, bool fineGasResolution) {
    struct Setpoint {
        MethodFileField field;
        const char* name;
        SetpointRange range;
    };
    const Setpoint setpoints[] = {
        {MethodFileField::Evaporator, "evaporator temperature", kEvaporatorRange},
        {MethodFileField::Nebuliser, "nebuliser temperature", kNebuliserRange},
        {MethodFileField::TransferLine, "transfer line temperature", kTransferLineRange},
        {MethodFileField::GasFlow, "gas flow", gasFlowRange(fineGasResolution)},
        {MethodFileField::Autozero, "autozero offset", kAutozeroRange},
        {MethodFileField::TimeConstant, "time constant", kTimeConstantRange},
    };
    for (int method = 1; method <= kUserMethodCount; ++method) {
        for (const Setpoint& setpoint : setpoints) {
            const std::string& text = file.text(method, setpoint.field);
            const auto value = wholeNumber(text);
            if (!value || *value < setpoint.range.minimum || *value > setpoint.range.maximum) {
                return "method " + std::to_string(method) + ", " + setpoint.name + " \"" + text +
                       "\" (" + std::to_string(setpoint.range.minimum) + " to " +
                       std::to_string(setpoint.range.maximum) + ")";
            }
        }
    }
    return std::nullopt;
}

} // namespace kqvdr
