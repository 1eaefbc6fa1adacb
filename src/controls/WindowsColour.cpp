#include "WindowsColour.h"

#include <algorithm>
#include <cmath>

namespace kqvdr {

RgbColour rgbFromWindowsColour(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value & 0xFFu),
            static_cast<std::uint8_t>((value >> 8) & 0xFFu),
            static_cast<std::uint8_t>((value >> 16) & 0xFFu)};
}

std::uint32_t windowsColourFromRgb(RgbColour colour) {
    return std::uint32_t{colour.red} | (std::uint32_t{colour.green} << 8) |
           (std::uint32_t{colour.blue} << 16);
}

double luminance(RgbColour colour) {
    return 0.299 * colour.red + 0.587 * colour.green + 0.114 * colour.blue;
}

RgbColour unlitShade(RgbColour lit) {
    const double grey = 58.0 + 0.08 * luminance(lit);
    const auto channel = [grey](std::uint8_t c) {
        const double mixed = 0.82 * grey + 0.18 * 0.5 * c;
        return static_cast<std::uint8_t>(std::clamp(std::lround(mixed), 0L, 255L));
    };
    return {channel(lit.red), channel(lit.green), channel(lit.blue)};
}

} // namespace kqvdr
