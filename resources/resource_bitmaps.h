#pragma once

#include <QImage>

// Bitmap resources of the programs, by their resource number: resources/bitmaps/<number>.png, embedded in
// the binary. Returns a null image when the program carries no such bitmap.
QImage LoadResourceBitmap(unsigned id);
