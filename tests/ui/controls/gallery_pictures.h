#pragma once

// Pictures for the gallery: the program's bitmap when it carries one, otherwise a generated stand-in of
// the same shape, so the gallery shows every control before the artwork exists.

#include <QImage>
#include <QSize>

// A strip of three button pictures (normal, hover, pressed), each of size.
QImage GalleryButtonStrip(unsigned id, QSize size, const char* label);
// The main window skin.
QImage GallerySkin(unsigned id, QSize size);
// Slider channel (active: the part left of the thumb) and thumb (dragged: while dragged).
QImage GalleryChannel(unsigned id, QSize size, bool active);
QImage GalleryThumb(unsigned id, bool dragged);
// The device tree's background.
QImage GalleryTreeBackground(unsigned id);
// True when the last picture asked for was generated.
bool GalleryUsedStandIns();
