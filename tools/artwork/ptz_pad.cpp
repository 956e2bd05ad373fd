#include <QPainterPath>
#include <QRadialGradient>

#include "tools/artwork/glyphs.h"
#include "tools/artwork/paint_kit.h"
#include "tools/artwork/skins.h"

// The PTZ pad: one dish under five square buttons. The skin carries the dish in its normal look; each
// button's strip is cut from the same drawing with that button lit, so the pictures join without a seam.
namespace artwork {
namespace {

constexpr qreal kDishRadius = 62;
constexpr qreal kHubRadius = 19;

QRectF Cell(int button) {
    static const QPoint cells[] = {{1, 0}, {0, 1}, {1, 1}, {2, 1}, {1, 2}};
    return QRectF(cells[button].x() * kPadCell, cells[button].y() * kPadCell, kPadCell, kPadCell);
}

Glyph ButtonGlyph(int button) {
    static const Glyph glyphs[] = {Glyph::kArrowUp, Glyph::kArrowLeft, Glyph::kAutoScan, Glyph::kArrowRight,
                                   Glyph::kArrowDown};
    return glyphs[button];
}

// Where an arrow sits: the middle of the ring between hub and rim, on the button's axis.
QPointF GlyphCentre(int button, QPointF centre) {
    const qreal r = (kDishRadius + kHubRadius) / 2 + 1;
    switch (button) {
        case kPadUp:
            return centre + QPointF(0, -r);
        case kPadDown:
            return centre + QPointF(0, r);
        case kPadLeft:
            return centre + QPointF(-r, 0);
        case kPadRight:
            return centre + QPointF(r, 0);
        default:
            return centre;
    }
}

QColor Ink(int state) {
    return state == 1 ? colour::kInkBright : state == 2 ? colour::kAccent : colour::kInk;
}

}  // namespace

void DrawPtzPad(QPainter& painter, QPointF origin, int active, int state) {
    QPainter& p = painter;
    p.save();
    p.translate(origin);
    PrepareSmooth(p);
    const QPointF centre(1.5 * kPadCell, 1.5 * kPadCell);

    QPainterPath dish;
    dish.addEllipse(centre, kDishRadius, kDishRadius);
    QPainterPath hub;
    hub.addEllipse(centre, kHubRadius, kHubRadius);

    // Dish: a shallow bowl, lit from the top.
    QLinearGradient face(centre.x(), centre.y() - kDishRadius, centre.x(), centre.y() + kDishRadius);
    face.setColorAt(0, QColor(0x33, 0x3b, 0x45));
    face.setColorAt(1, QColor(0x24, 0x2a, 0x32));
    p.setPen(QPen(colour::kEdgeDark, 1.2));
    p.setBrush(face);
    p.drawPath(dish);
    p.setPen(QPen(colour::kEdgeLight.darker(105), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, kDishRadius - 1.5, kDishRadius - 1.5);

    // The lit button: a soft glow (hover) or a shade (pressed) on its part of the dish.
    if (active >= 0 && state != 0) {
        QPainterPath part;
        part.addRect(Cell(active));
        part = part.intersected(dish);
        part = active == kPadCentre ? part.intersected(hub) : part.subtracted(hub);
        const QPointF at = GlyphCentre(active, centre);
        // The light fades out before the cell's edges, where the skin's unlit dish goes on.
        QRadialGradient glow(at, active == kPadCentre ? kHubRadius : 22);
        if (state == 1) {
            glow.setColorAt(0, QColor(0x5f, 0xa3, 0xc0, 90));
            glow.setColorAt(1, QColor(0x5f, 0xa3, 0xc0, 0));
        } else {
            glow.setColorAt(0, QColor(0x05, 0x07, 0x09, 150));
            glow.setColorAt(1, QColor(0x05, 0x07, 0x09, 0));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawPath(part);
    }

    // Hub: the auto-scan button, standing out of the dish.
    QLinearGradient hubFace(centre.x(), centre.y() - kHubRadius, centre.x(), centre.y() + kHubRadius);
    const bool hubActive = active == kPadCentre && state != 0;
    hubFace.setColorAt(0, hubActive && state == 2 ? QColor(0x22, 0x28, 0x2f) : QColor(0x3a, 0x43, 0x4e));
    hubFace.setColorAt(1, hubActive && state == 2 ? QColor(0x2a, 0x31, 0x39) : QColor(0x2a, 0x31, 0x39));
    p.setPen(QPen(hubActive ? colour::kAccentDim : colour::kEdgeDark, 1.2));
    p.setBrush(hubFace);
    p.drawPath(hub);

    for (int button = kPadUp; button <= kPadDown; ++button) {
        const int s = button == active ? state : 0;
        const QPointF at = GlyphCentre(button, centre) + (s == 2 ? QPointF(1, 1) : QPointF(0, 0));
        const qreal size = 18;
        DrawGlyph(p, ButtonGlyph(button), QRectF(at.x() - size / 2, at.y() - size / 2, size, size), Ink(s));
    }
    p.restore();
}

}  // namespace artwork
