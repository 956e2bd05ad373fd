#include "tools/artwork/pictures.h"

#include <QRadialGradient>

#include "tools/artwork/glyphs.h"
#include "tools/artwork/paint_kit.h"

namespace artwork {
namespace {

QImage ScreenPicture(Glyph glyph, const QColor& ink) {
    constexpr int w = 352, h = 288;
    QImage picture = NewPicture(w, h, colour::kVoid);
    QPainter p(&picture);
    PrepareSmooth(p);
    QRadialGradient ground(QPointF(w / 2.0, h / 2.0), w * 0.62);
    ground.setColorAt(0, QColor(0x1d, 0x23, 0x2a));
    ground.setColorAt(1, colour::kVoid);
    p.fillRect(0, 0, w, h, ground);
    DrawGlyph(p, glyph, QRectF(w / 2.0 - 44, h / 2.0 - 44, 88, 88), ink);
    p.end();
    ClearKeyWhite(picture);
    return picture;
}

}  // namespace

QImage DrawScreenPicture(unsigned id) {
    switch (id) {
        case 130:
            return ScreenPicture(Glyph::kCameraOff, QColor(0x5a, 0x65, 0x71));
        case 274:
            return ScreenPicture(Glyph::kFilm, QColor(0x4f, 0x5a, 0x66));
        default:
            return {};
    }
}

}  // namespace artwork
