#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kqvdr {

inline constexpr const char* kInvalidTimeMessage =
    "You have entered an invalid time, please retry.\n\n";
inline constexpr const char* kInvalidTimeCaption = "KQ-VDR1000 Control - Error";
inline constexpr const char* kEventMethodRangeMessage = "Method ID must be in the range 1 to 10";

// The time field's text once checked: "HH:MM", kUnsetEventTime left as it is, or nothing when
// the entry must be refused. Colons count as blanks; the first number is the hours and the
// second the minutes, a missing one 0 ("9 5" is 09:05, "12" is 12:00, nothing at all 00:00).
std::optional<std::string> checkedEventTime(std::string_view text);

struct CheckedMethod {
    int method;      // 1 to 10
    bool outOfRange; // the operator is told, and method holds the nearer limit
};
// The method field's whole-number value (0 without one), kept within 1 to 10.
CheckedMethod checkedEventMethod(std::string_view text);

} // namespace kqvdr
