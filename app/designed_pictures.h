#pragma once
// The designed background pictures of the splash and progress windows, drawn at start.

#include <QPixmap>

namespace dorvan::app {

QPixmap DesignedSplashPicture();    // 318 x 338
QPixmap DesignedProgressPicture();  // 329 x 114

}  // namespace dorvan::app
