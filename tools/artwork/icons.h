#pragma once

#include <QImage>

// Small images: the device tree's icons (black is transparent), the channel lights, the check-box images
// (magenta is transparent) and the application icon. DrawIconPicture returns a null image for any other
// number.
namespace artwork {

QImage DrawIconPicture(unsigned id);

// The application icon with an alpha channel, size x size pixels.
QImage DrawAppIcon(int size);

}  // namespace artwork
