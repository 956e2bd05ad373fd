#include "tools/artwork/glyphs.h"
#include "tools/artwork/paint_kit.h"
#include "tools/artwork/skins.h"

namespace artwork {

// Login dialog background, 373 x 243, which is also the dialog's size. A title band on top (the title label
// sits there), a plain body for the labels, fields and check boxes, and a footer band for OK and Cancel.
QImage DrawLoginSkin() {
    constexpr int W = 373, H = 243;
    constexpr int kTitle = 36, kFooter = 196;
    QImage skin = NewPicture(W, H, colour::kPanel);
    {
        QPainter p(&skin);
        FillGradient(p, QRectF(0, 0, W, kTitle), QColor(0x2e, 0x36, 0x3f), QColor(0x24, 0x2a, 0x31));
        p.fillRect(0, kTitle, W, 2, colour::kAccentDim);
        FillGradient(p, QRectF(0, kTitle + 2, W, kFooter - kTitle - 2), colour::kPanel,
                     QColor(0x20, 0x26, 0x2c));
        p.fillRect(0, kFooter, W, H - kFooter, colour::kBase);
        p.setPen(colour::kEdgeDark);
        p.drawLine(0, kFooter, W, kFooter);
        p.setPen(colour::kEdgeLight);
        p.drawRect(0, 0, W - 1, H - 1);
        // The lens emblem at the footer's left end, clear of buttons placed centred or to the right.
        PrepareSmooth(p);
        DrawGlyph(p, Glyph::kAperture, QRectF(14, kFooter + 12, 22, 22), colour::kAccentDim);
    }
    ClearKeyWhite(skin);
    return skin;
}

// Background of the device tree, tiled by the control. The tree is 164 pixels wide and grows in height with
// the window, so the tile may repeat downwards: it is uniform from top to bottom.
QImage DrawTreeBackground() {
    QImage tile = NewPicture(322, 421, colour::kTreeGround);
    ClearKeyWhite(tile);
    return tile;
}

}  // namespace artwork
