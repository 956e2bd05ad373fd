#include "tools/artwork/glyphs.h"

#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>
#include <algorithm>

namespace artwork {
namespace {

// Every glyph is designed in a 16 x 16 unit box; the painter is scaled so one unit is box / 16 pixels.
constexpr qreal kUnits = 16.0;

QPen Stroke(const QColor& ink, qreal width) {
    QPen pen(ink, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void Line(QPainter& p, const QColor& ink, qreal width, QPointF a, QPointF b) {
    p.setPen(Stroke(ink, width));
    p.drawLine(a, b);
}

void Polyline(QPainter& p, const QColor& ink, qreal width, std::initializer_list<QPointF> points) {
    p.setPen(Stroke(ink, width));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF(QList<QPointF>(points)));
}

void FillPolygon(QPainter& p, const QColor& ink, std::initializer_list<QPointF> points) {
    // A thin outline of the same ink rounds the corners a little.
    p.setPen(Stroke(ink, 0.8));
    p.setBrush(ink);
    p.drawPolygon(QPolygonF(QList<QPointF>(points)));
}

void OutlinePolygon(QPainter& p, const QColor& ink, qreal width, std::initializer_list<QPointF> points) {
    p.setPen(Stroke(ink, width));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(QPolygonF(QList<QPointF>(points)));
}

void FillPath(QPainter& p, const QColor& ink, const QPainterPath& path) {
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(path);
}

void Circle(QPainter& p, const QColor& ink, qreal width, QPointF centre, qreal r) {
    p.setPen(Stroke(ink, width));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, r, r);
}

void Disc(QPainter& p, const QColor& ink, QPointF centre, qreal r) {
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(centre, r, r);
}

QPointF OnCircle(QPointF centre, qreal r, qreal degrees) {
    const qreal a = qDegreesToRadians(degrees);
    return {centre.x() + r * qCos(a), centre.y() - r * qSin(a)};
}

// An arc (angles counter-clockwise from three o'clock, as Qt counts them) with an arrow head at its end.
void ArcArrow(QPainter& p, const QColor& ink, qreal width, QPointF centre, qreal r, qreal start, qreal span,
              qreal head) {
    QPainterPath path;
    const QRectF box(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
    path.arcMoveTo(box, start);
    path.arcTo(box, start, span);
    p.setPen(Stroke(ink, width));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    const qreal end = start + span;
    const QPointF tip = OnCircle(centre, r, end);
    const qreal a = qDegreesToRadians(end);
    const qreal sign = span >= 0 ? 1.0 : -1.0;
    // Direction of travel along the arc at its end, in screen coordinates.
    const QPointF dir(-qSin(a) * sign, -qCos(a) * sign);
    const QPointF normal(-dir.y(), dir.x());
    const QPointF front = tip + dir * head * 0.9;
    FillPolygon(p, ink, {front, tip + normal * head * 0.75, tip - normal * head * 0.75});
}

void Bookmark(QPainter& p, const QColor& ink, qreal left) {
    FillPolygon(p, ink, {{left, 2.5}, {left + 7, 2.5}, {left + 7, 13.5}, {left + 3.5, 10.5}, {left, 13.5}});
}

void Aperture(QPainter& p, const QColor& ink, qreal hole) {
    const QPointF c(8, 8);
    const qreal outer = 6.3;
    Circle(p, ink, 1.3, c, outer);
    p.setPen(Stroke(ink, 1.1));
    for (int i = 0; i < 6; ++i) {
        const QPointF a = OnCircle(c, hole, 60 * i + 30);
        const QPointF b = OnCircle(c, hole, 60 * (i + 1) + 30);
        // Extend the hexagon's edge beyond b until it meets the outer circle.
        const QPointF d = (b - a) / std::hypot(b.x() - a.x(), b.y() - a.y());
        const QPointF bc = b - c;
        const qreal along = QPointF::dotProduct(bc, d);
        const qreal t = -along + std::sqrt(along * along - QPointF::dotProduct(bc, bc) + outer * outer);
        p.drawLine(a, b + d * t);
    }
}

void Speaker(QPainter& p, const QColor& ink) {
    FillPolygon(p, ink, {{1.8, 5.8}, {4.8, 5.8}, {8.6, 2.6}, {8.6, 13.4}, {4.8, 10.2}, {1.8, 10.2}});
}

void Grid(QPainter& p, const QColor& ink, qreal left, qreal top, qreal cell, qreal gap, bool filled) {
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 2; ++c) {
            const QRectF tile(left + c * (cell + gap), top + r * (cell + gap), cell, cell);
            if (filled) {
                p.setPen(Qt::NoPen);
                p.setBrush(ink);
                p.drawRoundedRect(tile, 0.8, 0.8);
            } else {
                p.setPen(Stroke(ink, 1.2));
                p.setBrush(Qt::NoBrush);
                p.drawRoundedRect(tile.adjusted(0.6, 0.6, -0.6, -0.6), 0.6, 0.6);
            }
        }
    }
}

void Gear(QPainter& p, const QColor& ink) {
    QPainterPath body;
    body.addEllipse(QPointF(8, 8), 4.9, 4.9);
    for (int i = 0; i < 8; ++i) {
        QPainterPath tooth;
        tooth.addRoundedRect(QRectF(-1.35, -7.2, 2.7, 3.4), 0.6, 0.6);
        QTransform turn;
        turn.translate(8, 8);
        turn.rotate(45 * i);
        body = body.united(turn.map(tooth));
    }
    QPainterPath hole;
    hole.addEllipse(QPointF(8, 8), 2.1, 2.1);
    FillPath(p, ink, body.subtracted(hole));
}

void VideoCamera(QPainter& p, const QColor& ink) {
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawRoundedRect(QRectF(1.2, 4.6, 9.4, 7.0), 1.4, 1.4);
    FillPolygon(p, ink, {{11.2, 8.1}, {14.8, 5.4}, {14.8, 10.8}});
}

}  // namespace

void DrawGlyph(QPainter& painter, Glyph glyph, const QRectF& box, const QColor& ink) {
    if (glyph == Glyph::kNone) {
        return;
    }
    QPainter& p = painter;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const qreal side = std::min(box.width(), box.height());
    p.translate(box.center().x() - side / 2, box.center().y() - side / 2);
    p.scale(side / kUnits, side / kUnits);
    const QPointF c(8, 8);
    switch (glyph) {
        case Glyph::kNone:
            break;
        case Glyph::kArrowUp:
        case Glyph::kArrowDown:
        case Glyph::kArrowLeft:
        case Glyph::kArrowRight: {
            const qreal turn = glyph == Glyph::kArrowUp      ? 0
                               : glyph == Glyph::kArrowRight ? 90
                               : glyph == Glyph::kArrowDown  ? 180
                                                             : 270;
            p.translate(c);
            p.rotate(turn);
            p.translate(-c);
            FillPolygon(p, ink, {{8, 3.2}, {13.2, 10.8}, {2.8, 10.8}});
            break;
        }
        case Glyph::kAutoScan:
            ArcArrow(p, ink, 1.5, c, 5.2, 100, 290, 2.4);
            Disc(p, ink, c, 1.6);
            break;
        case Glyph::kPlus:
            Line(p, ink, 2.0, {3.5, 8}, {12.5, 8});
            Line(p, ink, 2.0, {8, 3.5}, {8, 12.5});
            break;
        case Glyph::kMinus:
            Line(p, ink, 2.0, {3.5, 8}, {12.5, 8});
            break;
        case Glyph::kIrisOpen:
            Aperture(p, ink, 4.3);
            break;
        case Glyph::kIrisClose:
            Aperture(p, ink, 1.5);
            break;
        case Glyph::kAperture:
            Aperture(p, ink, 2.6);
            break;
        case Glyph::kPresetSet:
            Bookmark(p, ink, 1.5);
            Line(p, ink, 1.6, {12.6, 3.2}, {12.6, 8.8});
            Line(p, ink, 1.6, {9.8, 6}, {15.4, 6});
            break;
        case Glyph::kPresetClear:
            Bookmark(p, ink, 1.5);
            Line(p, ink, 1.6, {10.3, 3.7}, {14.9, 8.3});
            Line(p, ink, 1.6, {14.9, 3.7}, {10.3, 8.3});
            break;
        case Glyph::kPresetGoto:
            Bookmark(p, ink, 7.5);
            Line(p, ink, 1.6, {0.8, 8}, {5.4, 8});
            Polyline(p, ink, 1.6, {{3.4, 5.6}, {5.8, 8}, {3.4, 10.4}});
            break;
        case Glyph::kSpinUp:
            FillPolygon(p, ink, {{8, 4}, {13, 11}, {3, 11}});
            break;
        case Glyph::kSpinDown:
            FillPolygon(p, ink, {{3, 5}, {13, 5}, {8, 12}});
            break;
        case Glyph::kOpenAll:
            Grid(p, ink, 2, 2, 5.4, 1.2, true);
            break;
        case Glyph::kCloseAll:
            Grid(p, ink, 2, 2, 5.4, 1.2, false);
            break;
        case Glyph::kPlayback:
            ArcArrow(p, ink, 1.5, c, 6.0, 300, 260, 2.2);
            FillPolygon(p, ink, {{6.4, 5.4}, {11.0, 8}, {6.4, 10.6}});
            break;
        case Glyph::kLogin:
            Circle(p, ink, 1.6, {4.6, 8}, 2.9);
            Line(p, ink, 1.6, {7.5, 8}, {14.6, 8});
            Line(p, ink, 1.6, {12.2, 8}, {12.2, 10.8});
            Line(p, ink, 1.6, {14.6, 8}, {14.6, 10.2});
            break;
        case Glyph::kLogout:
            Polyline(p, ink, 1.5,
                     {{8.8, 4.8}, {8.8, 2.4}, {2.2, 2.4}, {2.2, 13.6}, {8.8, 13.6}, {8.8, 11.2}});
            Line(p, ink, 1.6, {5.6, 8}, {14.2, 8});
            Polyline(p, ink, 1.6, {{11.4, 5.2}, {14.2, 8}, {11.4, 10.8}});
            break;
        case Glyph::kSequence:
            ArcArrow(p, ink, 1.5, c, 5.6, 20, 140, 2.3);
            ArcArrow(p, ink, 1.5, c, 5.6, 200, 140, 2.3);
            Disc(p, ink, c, 1.3);
            break;
        case Glyph::kSnapshot:
            p.setPen(Stroke(ink, 1.4));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(QRectF(1.4, 4.4, 13.2, 9.0), 1.6, 1.6);
            FillPolygon(p, ink, {{5.2, 4.4}, {6.2, 2.6}, {9.8, 2.6}, {10.8, 4.4}});
            Circle(p, ink, 1.4, {8, 8.9}, 2.5);
            break;
        case Glyph::kSetup:
            Gear(p, ink);
            break;
        case Glyph::kStatus:
            Polyline(p, ink, 1.5, {{1.2, 9}, {4.6, 9}, {6.2, 4}, {9, 13}, {10.6, 8}, {14.8, 8}});
            break;
        case Glyph::kFullScreen:
            Polyline(p, ink, 1.6, {{2, 6.4}, {2, 3}, {5.6, 3}});
            Polyline(p, ink, 1.6, {{10.4, 3}, {14, 3}, {14, 6.4}});
            Polyline(p, ink, 1.6, {{14, 9.6}, {14, 13}, {10.4, 13}});
            Polyline(p, ink, 1.6, {{5.6, 13}, {2, 13}, {2, 9.6}});
            break;
        case Glyph::kAutoScroll:
            Grid(p, ink, 0.8, 3.2, 4.2, 1.0, false);
            FillPolygon(p, ink, {{11.2, 4.6}, {15.2, 8}, {11.2, 11.4}});
            break;
        case Glyph::kNextPage:
            Polyline(p, ink, 2.0, {{5.6, 3.2}, {10.4, 8}, {5.6, 12.8}});
            break;
        case Glyph::kPrevPage:
            Polyline(p, ink, 2.0, {{10.4, 3.2}, {5.6, 8}, {10.4, 12.8}});
            break;
        case Glyph::kSearch:
        case Glyph::kZoom:
            Circle(p, ink, 1.7, {6.6, 6.6}, 4.3);
            Line(p, ink, 2.3, {9.9, 9.9}, {14, 14});
            break;
        case Glyph::kDownload:
            Line(p, ink, 1.6, {8, 1.8}, {8, 9.6});
            Polyline(p, ink, 1.6, {{4.8, 6.6}, {8, 9.8}, {11.2, 6.6}});
            Polyline(p, ink, 1.5, {{2.2, 10.6}, {2.2, 13.6}, {13.8, 13.6}, {13.8, 10.6}});
            break;
        case Glyph::kPlay:
            FillPolygon(p, ink, {{4.8, 2.8}, {13, 8}, {4.8, 13.2}});
            break;
        case Glyph::kPause:
            p.setPen(Qt::NoPen);
            p.setBrush(ink);
            p.drawRoundedRect(QRectF(3.6, 2.8, 3.2, 10.4), 0.6, 0.6);
            p.drawRoundedRect(QRectF(9.2, 2.8, 3.2, 10.4), 0.6, 0.6);
            break;
        case Glyph::kStop:
            p.setPen(Qt::NoPen);
            p.setBrush(ink);
            p.drawRoundedRect(QRectF(3.4, 3.4, 9.2, 9.2), 1.0, 1.0);
            break;
        case Glyph::kStep:
            FillPolygon(p, ink, {{3.2, 3.2}, {10, 8}, {3.2, 12.8}});
            p.setPen(Qt::NoPen);
            p.setBrush(ink);
            p.drawRoundedRect(QRectF(10.8, 3.2, 2.4, 9.6), 0.5, 0.5);
            break;
        case Glyph::kSlow:
            OutlinePolygon(p, ink, 1.3, {{1.6, 4}, {7.4, 8}, {1.6, 12}});
            OutlinePolygon(p, ink, 1.3, {{8.6, 4}, {14.4, 8}, {8.6, 12}});
            break;
        case Glyph::kFast:
            FillPolygon(p, ink, {{1.2, 3.6}, {7.8, 8}, {1.2, 12.4}});
            FillPolygon(p, ink, {{8.2, 3.6}, {14.8, 8}, {8.2, 12.4}});
            break;
        case Glyph::kMinuteBack:
            ArcArrow(p, ink, 1.5, c, 5.4, -60, 270, 2.4);
            Disc(p, ink, c, 1.2);
            break;
        case Glyph::kMinuteOn:
            ArcArrow(p, ink, 1.5, c, 5.4, 240, -270, 2.4);
            Disc(p, ink, c, 1.2);
            break;
        case Glyph::kSound: {
            Speaker(p, ink);
            p.setPen(Stroke(ink, 1.3));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(7.2, 5.2, 5.6, 5.6), -50 * 16, 100 * 16);
            p.drawArc(QRectF(5.6, 2.6, 10.8, 10.8), -50 * 16, 100 * 16);
            break;
        }
        case Glyph::kMuted:
            Speaker(p, ink);
            Line(p, ink, 1.5, {10.6, 5.6}, {14.8, 10.4});
            Line(p, ink, 1.5, {14.8, 5.6}, {10.6, 10.4});
            break;
        case Glyph::kPower: {
            QPainterPath arc;
            const QRectF ring(2.2, 2.6, 11.6, 11.6);
            arc.arcMoveTo(ring, 125);
            arc.arcTo(ring, 125, 290);
            p.setPen(Stroke(ink, 1.7));
            p.setBrush(Qt::NoBrush);
            p.drawPath(arc);
            Line(p, ink, 1.7, {8, 1.4}, {8, 7.6});
            break;
        }
        case Glyph::kMinimise:
            Line(p, ink, 1.6, {4, 12}, {12, 12});
            break;
        case Glyph::kMaximise:
            p.setPen(Stroke(ink, 1.3));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(3.5, 3.5, 9, 9));
            Line(p, ink, 1.3, {3.5, 4.6}, {12.5, 4.6});
            break;
        case Glyph::kRestore:
            p.setPen(Stroke(ink, 1.3));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(3, 6, 7, 7));
            Polyline(p, ink, 1.3, {{6, 6}, {6, 3}, {13, 3}, {13, 10}, {10, 10}});
            break;
        case Glyph::kClose:
            Line(p, ink, 1.6, {4, 4}, {12, 12});
            Line(p, ink, 1.6, {12, 4}, {4, 12});
            break;
        case Glyph::kTray:
            Line(p, ink, 1.6, {8, 2.6}, {8, 9.6});
            Polyline(p, ink, 1.6, {{5, 6.8}, {8, 9.8}, {11, 6.8}});
            Line(p, ink, 1.6, {3, 13}, {13, 13});
            break;
        case Glyph::kFocus:
            Circle(p, ink, 1.3, c, 4.4);
            Line(p, ink, 1.3, {8, 0.8}, {8, 3.2});
            Line(p, ink, 1.3, {8, 12.8}, {8, 15.2});
            Line(p, ink, 1.3, {0.8, 8}, {3.2, 8});
            Line(p, ink, 1.3, {12.8, 8}, {15.2, 8});
            Disc(p, ink, c, 1.4);
            break;
        case Glyph::kCamera:
            VideoCamera(p, ink);
            break;
        case Glyph::kCameraOff:
            VideoCamera(p, ink);
            Line(p, ink, 1.4, {1.5, 1.5}, {14.5, 14.5});
            break;
        case Glyph::kFilm:
            p.setPen(Stroke(ink, 1.2));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(QRectF(1.2, 2.6, 13.6, 10.8), 1.2, 1.2);
            for (int i = 0; i < 4; ++i) {
                p.setPen(Qt::NoPen);
                p.setBrush(ink);
                p.drawRect(QRectF(2.4 + i * 3.3, 3.6, 1.6, 1.2));
                p.drawRect(QRectF(2.4 + i * 3.3, 11.2, 1.6, 1.2));
            }
            FillPolygon(p, ink, {{6.6, 6.0}, {10.2, 8}, {6.6, 10.0}});
            break;
    }
    p.restore();
}

}  // namespace artwork
