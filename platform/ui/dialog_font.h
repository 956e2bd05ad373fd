#pragma once

// The one font of every dialog built from a template, and the base units that size those dialogs.

#include <QFont>
#include <QString>

#include "platform/ui/dialog_template.h"

// The dialog font: a sans-serif face with CJK faces behind it, so the Chinese languages render.
QFont DialogFont();

// Base units of a font: the average width of the Latin letters (rounded) and the font's height.
DialogBaseUnits DialogBaseUnitsOf(const QFont& font);

// Base units of the dialog font, measured once.
DialogBaseUnits GetDialogBaseUnits();

// A template rectangle in pixels.
struct DialogPixelRect {
    int x, y, cx, cy;
};
DialogPixelRect DialogRectToPixels(short x, short y, short cx, short cy);
