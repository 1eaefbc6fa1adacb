#pragma once

namespace kqvdr {

// A bordered rectangle on a page, in inches from the printable area's top-left corner; text can
// be printed into boxes given relative to its top-left corner.
struct CPrintRegion {
    double top = 0;
    double left = 0;
    double bottom = 0;
    double right = 0;
};

} // namespace kqvdr
