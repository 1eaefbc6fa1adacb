#pragma once

#include <QPixmap>

namespace kqvdr {

// A yellow warning triangle with an exclamation mark, drawn here so that it looks the same on
// every platform and style. `side` is in device-independent pixels.
QPixmap warningPicture(int side, qreal devicePixelRatio);

} // namespace kqvdr
