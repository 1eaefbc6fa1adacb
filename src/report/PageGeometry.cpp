#include "PageGeometry.h"

#include <algorithm>

namespace kqvdr {

PageGeometry::PageGeometry(double widthPixels, double heightPixels, double dpiX, double dpiY)
    : widthPixels_(std::max(widthPixels, 1.0)), heightPixels_(std::max(heightPixels, 1.0)),
      dpiX_(std::max(dpiX, 1.0)), dpiY_(std::max(dpiY, 1.0)) {}

} // namespace kqvdr
