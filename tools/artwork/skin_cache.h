#pragma once

#include <QImage>

namespace artwork {

// The three skins drawn once per run, for the pictures that take their ground from a skin. Any other number
// gives a null image.
const QImage& SkinPicture(unsigned id);

// The same skins with their window corners uncut, for the buttons that take their background from a skin.
const QImage& SkinGround(unsigned id);

}  // namespace artwork
