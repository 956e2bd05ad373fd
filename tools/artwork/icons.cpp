#include "tools/artwork/icons.h"

#include <QRadialGradient>

#include "tools/artwork/glyphs.h"
#include "tools/artwork/paint_kit.h"

namespace artwork {
namespace {

const QColor kFolder{0xb8, 0x99, 0x5a};
const QColor kDeviceBody{0x7d, 0x88, 0x94};

QImage TreeIcon(const std::function<void(QPainter&)>& draw) {
    QImage drawing = NewDrawing(16, 16);
    QPainter p(&drawing);
    PrepareSmooth(p);
    draw(p);
    p.end();
    // The tree's image list is masked with black; the tree itself shows white as its background, so the
    // icons use neither.
    QImage icon = KeyedPicture(drawing, colour::kTreeGround, colour::kKeyBlack);
    ClearKeyWhite(icon);
    return icon;
}

void Folder(QPainter& p) {
    p.setPen(QPen(kFolder.darker(150), 1));
    p.setBrush(kFolder.darker(115));
    p.drawRoundedRect(QRectF(1.5, 2.5, 6, 3), 1, 1);
    p.setBrush(kFolder);
    p.drawRoundedRect(QRectF(1.5, 4.5, 13, 9), 1.2, 1.2);
}

// A recorder: a flat box with a disc slot and a status lamp.
void Recorder(QPainter& p, const QColor& body, const QColor& lamp) {
    p.setPen(QPen(body.darker(170), 1));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(0.5, 4.5, 15, 7.5), 1.5, 1.5);
    p.setPen(QPen(body.darker(200), 1));
    p.drawLine(QPointF(3, 8.5), QPointF(9, 8.5));
    p.setPen(Qt::NoPen);
    p.setBrush(lamp);
    p.drawEllipse(QPointF(12.3, 8.2), 1.9, 1.9);
    p.setBrush(body.darker(130));
    p.drawRect(QRectF(2.5, 12, 2, 1.5));
    p.drawRect(QRectF(11.5, 12, 2, 1.5));
}

QImage LedStrip() {
    QImage strip = NewPicture(51, 17, colour::kWell);
    QPainter p(&strip);
    PrepareSmooth(p);
    const QColor lamps[] = {QColor(0x30, 0x37, 0x3f), colour::kRed, colour::kAmber};
    for (int cell = 0; cell < 3; ++cell) {
        const QPointF c(cell * 17 + 8.5, 8.5);
        if (cell == 2) {
            // The alarm light glows past its rim.
            QRadialGradient glow(c, 8.5);
            glow.setColorAt(0, QColor(0xd6, 0xa5, 0x48, 110));
            glow.setColorAt(1, QColor(0xd6, 0xa5, 0x48, 0));
            p.setPen(Qt::NoPen);
            p.setBrush(glow);
            p.drawEllipse(c, 8.5, 8.5);
        }
        QRadialGradient face(c + QPointF(-1.5, -1.5), 6);
        face.setColorAt(0, cell == 0 ? lamps[0].lighter(130) : lamps[cell].lighter(135));
        face.setColorAt(1, cell == 0 ? lamps[0] : lamps[cell].darker(115));
        p.setPen(QPen(colour::kEdgeDark, 1));
        p.setBrush(face);
        p.drawEllipse(c, 5.2, 5.2);
    }
    p.end();
    ClearKeyWhite(strip);
    return strip;
}

QImage CheckImages() {
    QImage strip = NewPicture(39, 16, colour::kKeyMagenta);
    QPainter p(&strip);
    for (int image = 1; image <= 2; ++image) {
        const QRect box(image * 13 + 1, 2, 11, 11);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(box, colour::kEdgeLight.lighter(140));
        p.fillRect(box.adjusted(1, 1, -1, -1), QColor(0x1f, 0x25, 0x2b));
        if (image == 2) {
            // The tick stays inside the box, so its soft edges never meet the magenta key.
            PrepareSmooth(p);
            p.setPen(QPen(QColor(0x9b, 0xd6, 0xa6), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(QPolygonF({QPointF(box.left() + 2.8, box.top() + 5.8),
                                      QPointF(box.left() + 4.8, box.top() + 7.9),
                                      QPointF(box.left() + 8.4, box.top() + 3.2)}));
        }
    }
    p.end();
    return strip;
}

}  // namespace

QImage DrawIconPicture(unsigned id) {
    switch (id) {
        case 191:
            return TreeIcon(Folder);
        case 194:
            return TreeIcon([](QPainter& p) { Recorder(p, kDeviceBody, QColor(0x4a, 0x53, 0x5d)); });
        case 190:
            return TreeIcon(
                [](QPainter& p) { Recorder(p, QColor(0x86, 0x9c, 0xae), colour::kGreen.lighter(120)); });
        case 221:
            return TreeIcon(
                [](QPainter& p) { Recorder(p, kDeviceBody.darker(110), colour::kRed.lighter(115)); });
        case 192:
            return TreeIcon(
                [](QPainter& p) { DrawGlyph(p, Glyph::kCamera, QRectF(0, 0, 16, 16), kDeviceBody); });
        case 193:
            return TreeIcon(
                [](QPainter& p) { DrawGlyph(p, Glyph::kCamera, QRectF(0, 0, 16, 16), colour::kAccent); });
        case 175:
            return LedStrip();
        case 154:
            return CheckImages();
        default:
            return {};
    }
}

QImage DrawAppIcon(int size) {
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    PrepareSmooth(p);
    p.scale(size / 16.0, size / 16.0);
    QLinearGradient plate(0, 0, 0, 16);
    plate.setColorAt(0, QColor(0x34, 0x3d, 0x48));
    plate.setColorAt(1, QColor(0x1a, 0x1f, 0x25));
    p.setPen(QPen(QColor(0x0b, 0x0d, 0x10), 0.35));
    p.setBrush(plate);
    p.drawRoundedRect(QRectF(0.6, 0.6, 14.8, 14.8), 3.2, 3.2);
    // A lens: dark glass in a lit ring, with the iris inside.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x0e, 0x11, 0x14));
    p.drawEllipse(QPointF(8, 8), 5.6, 5.6);
    p.setPen(QPen(colour::kAccent, 0.9));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(8, 8), 5.6, 5.6);
    DrawGlyph(p, Glyph::kAperture, QRectF(3.6, 3.6, 8.8, 8.8), colour::kAccent.lighter(115));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 60));
    p.drawEllipse(QPointF(6.2, 6.0), 1.2, 0.8);
    p.end();
    return icon.convertToFormat(QImage::Format_ARGB32);
}

}  // namespace artwork
