#pragma once

#include "Clock.h"

#include <string>
#include <string_view>

namespace kqvdr {

// "HH:MM:SS", two digits each.
std::string timeText(const LocalTime& time);
std::string currentTimeText(const Clock& clock);

struct ElapsedTime {
    int seconds = -1; // -1 when either text was refused
    std::string text; // "%1d:%02d:%02d", empty when refused

    bool valid() const { return seconds >= 0; }
};

// The time from `earlier` to `later`, modulo 24 hours so that a span across midnight counts
// forward. Texts are hours, minutes and seconds of one or two characters each, separated by ':'.
// A text with a field longer than two characters, more than three fields or more than nine
// characters is refused.
ElapsedTime elapsedTime(std::string_view earlier, std::string_view later);

} // namespace kqvdr
