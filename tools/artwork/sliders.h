#pragma once

#include <QImage>

// Slider pictures: the volume channel (185, 186), the playback position channel (211, 210, stretched by the
// dialog to the slider's width) and the two thumbs (215, 214), whose white pixels are transparent. Returns a
// null image for any other number.
namespace artwork {

QImage DrawSliderPicture(unsigned id);

}  // namespace artwork
