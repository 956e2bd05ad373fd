#include "tools/artwork/sliders.h"

#include "tools/artwork/paint_kit.h"
#include "tools/artwork/skin_cache.h"

namespace artwork {
namespace {

// The volume slider sits at (W-156, H-42) in the main window and at (W-139, H-47) in the playback dialog,
// both on the plain panel colour; the position slider at (30, H-165) of the playback dialog on the frame
// colour.
constexpr int kVolumeX = 1024 - 156, kVolumeY = 768 - 42;
constexpr int kPositionX = 30, kPositionY = 768 - 165;

// Brush and pen of a channel's shape: the accent gradient from `from` to `to` for the active picture, the
// sunken field colour with the given edge for the normal one.
void SetChannelPaint(QPainter& p, bool active, QPointF from, QPointF to, const QColor& edge) {
    if (active) {
        QLinearGradient fill(from, to);
        fill.setColorAt(0, colour::kAccentDim);
        fill.setColorAt(1, colour::kAccent);
        p.setBrush(fill);
        p.setPen(QPen(colour::kAccentDim.darker(135), 1));
    } else {
        p.setBrush(colour::kWell);
        p.setPen(QPen(edge, 1));
    }
}

QImage VolumeChannel(bool active) {
    QImage picture = SkinGround(155).copy(kVolumeX, kVolumeY, 59, 12);
    QPainter p(&picture);
    PrepareSmooth(p);
    // A wedge that grows to the right: louder is taller.
    const QPolygonF wedge({QPointF(2.5, 9.5), QPointF(56.5, 9.5), QPointF(56.5, 1.5)});
    SetChannelPaint(p, active, QPointF(0, 0), QPointF(59, 0), colour::kEdgeLight);
    p.drawPolygon(wedge);
    return picture;
}

QImage PositionChannel(bool active) {
    constexpr int w = 672, h = 12;
    QImage picture = SkinGround(213).copy(kPositionX, kPositionY, w, h);
    QPainter p(&picture);
    PrepareSmooth(p);
    const QRectF groove(1.5, 3.5, w - 3, 5);
    SetChannelPaint(p, active, groove.bottomLeft(), groove.topLeft(), colour::kEdgeDark);
    p.drawRoundedRect(groove, 2.5, 2.5);
    return picture;
}

QImage Thumb(bool dragged) {
    QImage drawing = NewDrawing(8, 12);
    QPainter p(&drawing);
    PrepareSmooth(p);
    QLinearGradient fill(0, 0, 0, 12);
    fill.setColorAt(0, dragged ? QColor(0x8c, 0xc4, 0xdb) : QColor(0xd0, 0xd7, 0xde));
    fill.setColorAt(1, dragged ? colour::kAccentDim : QColor(0x94, 0x9f, 0xab));
    p.setBrush(fill);
    p.setPen(QPen(QColor(0x3a, 0x43, 0x4e), 1));
    p.drawRoundedRect(QRectF(0.5, 0.5, 7, 11), 2.5, 2.5);
    p.end();
    return KeyedPicture(drawing, colour::kPanel, colour::kKeyWhite);
}

}  // namespace

QImage DrawSliderPicture(unsigned id) {
    QImage picture;
    switch (id) {
        case 185:
            picture = VolumeChannel(false);
            break;
        case 186:
            picture = VolumeChannel(true);
            break;
        case 211:
            picture = PositionChannel(false);
            break;
        case 210:
            picture = PositionChannel(true);
            break;
        case 215:
            return Thumb(false);
        case 214:
            return Thumb(true);
        default:
            return {};
    }
    ClearKeyWhite(picture);
    return picture;
}

}  // namespace artwork
