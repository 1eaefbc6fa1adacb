#pragma once

#include <array>

namespace kqvdr {

// Who stands behind the instrument on the report's first page.
inline constexpr const char* kMakerName = "Brackwater Ltd.";
inline constexpr std::array<const char*, 4> kMakerAddress = {"Unit 7, Riverside Technology Park",
                                                             "Mill Lane", "Brackwater, Wessex",
                                                             "BW4 2QT, United Kingdom"};

} // namespace kqvdr
