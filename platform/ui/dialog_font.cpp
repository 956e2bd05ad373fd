#include "platform/ui/dialog_font.h"

#include <QFontMetrics>
#include <QStringList>

QFont DialogFont() {
    QFont font;
    font.setFamilies(
        QStringList{"DejaVu Sans", "WenQuanYi Micro Hei", "Noto Sans CJK SC", "Noto Sans CJK TC"});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

DialogBaseUnits DialogBaseUnitsOf(const QFont& font) {
    QFontMetrics metrics(font);
    // Half-letter rounding of the average over both cases of the alphabet, as the width of a dialog unit
    // is commonly taken.
    int width =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    int cx = (width / 26 + 1) / 2;
    int cy = metrics.height();
    return DialogBaseUnits{cx > 0 ? cx : 1, cy > 0 ? cy : 1};
}

DialogBaseUnits GetDialogBaseUnits() {
    static const DialogBaseUnits units = DialogBaseUnitsOf(DialogFont());
    return units;
}

DialogPixelRect DialogRectToPixels(short x, short y, short cx, short cy) {
    DialogBaseUnits units = GetDialogBaseUnits();
    int left = DialogUnitsToPixelsX(x, units);
    int top = DialogUnitsToPixelsY(y, units);
    // Edges are mapped, not sizes, so neighbouring controls stay flush.
    return DialogPixelRect{left, top, DialogUnitsToPixelsX(x + cx, units) - left,
                           DialogUnitsToPixelsY(y + cy, units) - top};
}
