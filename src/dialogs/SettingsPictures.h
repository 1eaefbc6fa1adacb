#pragma once

#include <QPixmap>

namespace kqvdr {

// Pictures of our own for the settings dialogs; sizes are in device-independent pixels.

// A nine-pin serial connector with its cable, for the port dialog.
QPixmap serialPortPicture(int side, qreal devicePixelRatio);

// A sensor cell with vapour rising past it, for the vapour-sensor dialog.
QPixmap vapourSensorPicture(int side, qreal devicePixelRatio);

} // namespace kqvdr
