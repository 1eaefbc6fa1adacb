#include "CLamp.h"
#include "WindowsColour.h"

#include <QImage>
#include <algorithm>
#include <gtest/gtest.h>
#include <ostream>

namespace kqvdr {
namespace {

struct ColourCase {
    std::uint32_t value;
    RgbColour expected;
};

std::ostream& operator<<(std::ostream& out, const ColourCase& c) {
    return out << std::hex << "0x" << c.value;
}

class LampWindowsColour : public testing::TestWithParam<ColourCase> {};

TEST_P(LampWindowsColour, ReadsRedFromTheLowByteAndIgnoresTheTopByte) {
    EXPECT_EQ(rgbFromWindowsColour(GetParam().value), GetParam().expected);
    EXPECT_EQ(windowsColourFromRgb(GetParam().expected), GetParam().value & 0xFFFFFFu);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LampWindowsColour,
    testing::Values(ColourCase{0x00E600, {0x00, 0xE6, 0x00}},   // ready green
                    ColourCase{0x007EFD, {0xFD, 0x7E, 0x00}},   // not-ready orange
                    ColourCase{0x0000FF, {0xFF, 0x00, 0x00}},   // pure red
                    ColourCase{0xFF0000, {0x00, 0x00, 0xFF}},   // pure blue
                    ColourCase{0x80123456, {0x56, 0x34, 0x12}}, // system-colour flag dropped
                    ColourCase{0x000000, {0, 0, 0}}));

TEST(LampUnlitShade, IsDarkAndNearlyGreyForEveryColour) {
    const RgbColour colours[] = {{0, 230, 0},     {253, 126, 0}, {255, 0, 0},  {0, 0, 255},
                                 {255, 255, 255}, {0, 0, 0},     {255, 255, 0}};
    for (const RgbColour lit : colours) {
        const RgbColour dark = unlitShade(lit);
        const int spread = std::max({dark.red, dark.green, dark.blue}) -
                           std::min({dark.red, dark.green, dark.blue});
        EXPECT_LT(luminance(dark), 100.0) << int(lit.red) << ',' << int(lit.green);
        EXPECT_LE(spread, 30) << int(lit.red) << ',' << int(lit.green);
        if (luminance(lit) > 100.0) {
            EXPECT_LT(luminance(dark), luminance(lit) / 1.5);
        }
    }
}

// The colour painted at the middle of the lamp.
QColor centreColour(CLamp& lamp) {
    const QImage image = lamp.grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

TEST(LampWidget, PaintsTheOnColourWhenLitAndAGreyWhenDark) {
    CLamp lamp;
    lamp.resize(40, 40);
    lamp.setOnColour(std::uint32_t{0x00E600});
    EXPECT_EQ(lamp.onColour(), QColor(0, 230, 0));

    lamp.setOn(true);
    const QColor lit = centreColour(lamp);
    EXPECT_GT(lit.green(), 150);
    EXPECT_LT(lit.red(), 120);

    lamp.setOn(false);
    const QColor dark = centreColour(lamp);
    EXPECT_LT(dark.green(), 120);
    EXPECT_LT(std::abs(dark.green() - dark.red()), 40);
}

TEST(LampWidget, RecolouringALitLampShowsTheNewColour) {
    CLamp lamp;
    lamp.resize(40, 40);
    lamp.setOn(true);
    lamp.setOnColour(0x007EFD); // a plain literal must be read as 0x00BBGGRR, not as QRgb
    const QColor orange = centreColour(lamp);
    EXPECT_GT(orange.red(), 200);
    EXPECT_LT(orange.blue(), 120);
    EXPECT_TRUE(lamp.isOn());
}

} // namespace
} // namespace kqvdr
