#pragma once

#include <QImage>

// Draws the picture of one resource number of the catalog (catalog.h); a null image for a number the
// programs do not use.
QImage DrawArtwork(unsigned id);
