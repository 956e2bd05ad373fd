#pragma once

#include <QImage>

// Button strips: normal, hover and pressed pictures side by side. Returns a null image for a number that is
// not a button.
namespace artwork {

QImage DrawButtonStrip(unsigned id);

}  // namespace artwork
