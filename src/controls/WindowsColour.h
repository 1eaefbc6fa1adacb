#pragma once

#include <cstdint>

namespace kqvdr {

struct RgbColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    bool operator==(const RgbColour&) const = default;
};

// The instrument status decoding hands lamp colours over as 0x00BBGGRR values. The top byte
// (palette and system-colour flags) has no meaning for a lamp, so it is ignored.
RgbColour rgbFromWindowsColour(std::uint32_t value);
std::uint32_t windowsColourFromRgb(RgbColour colour);

// Perceived brightness 0..255 (ITU-R BT.601 weights).
double luminance(RgbColour colour);

// What an extinguished lamp looks like: a dark, almost neutral grey that keeps a trace of its
// colour, so that an unlit green lamp still reads as "the green one".
RgbColour unlitShade(RgbColour lit);

} // namespace kqvdr
