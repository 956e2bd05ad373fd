#pragma once

#include <QImage>

// Icon resources of the programs, by their resource number: resources/icons/<number>.png, embedded in the
// binary, with an alpha channel. Returns a null image when the program carries no such icon.
QImage LoadResourceIcon(unsigned id);
