#pragma once

#include <QImage>

// The pictures drawn into empty screens, 352 x 288: no video (130) and the idle playback screen (274). They
// are turned into I420 by the programs, so they hold only soft shapes. Null for any other number.
namespace artwork {

QImage DrawScreenPicture(unsigned id);

}  // namespace artwork
