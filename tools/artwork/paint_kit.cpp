#include "tools/artwork/paint_kit.h"

#include "tools/artwork/glyphs.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <cmath>

namespace artwork {

QImage NewPicture(int width, int height, const QColor& fill) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

void PrepareSmooth(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

void FillGradient(QPainter& painter, const QRectF& rect, const QColor& top, const QColor& bottom) {
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    painter.fillRect(rect, gradient);
}

void DrawRaisedPanel(QPainter& painter, const QRectF& rect, qreal radius) {
    painter.save();
    PrepareSmooth(painter);
    // Flat inside: buttons of one look sit at several heights on the same panel.
    painter.setPen(QPen(colour::kEdgeLight.darker(118), 1));
    painter.setBrush(colour::kRaised);
    painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    painter.restore();
}

void DrawWell(QPainter& painter, const QRect& rect, const QColor& fill) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(rect, fill);
    const int l = rect.left(), t = rect.top(), r = rect.right(), b = rect.bottom();
    painter.setPen(colour::kEdgeDark);
    painter.drawLine(l, t, r, t);
    painter.drawLine(l, t, l, b);
    painter.setPen(colour::kEdgeLight);
    painter.drawLine(l + 1, b, r, b);
    painter.drawLine(r, t + 1, r, b);
    painter.restore();
}

void DrawCornerEmblem(QPainter& painter) {
    painter.save();
    PrepareSmooth(painter);
    DrawGlyph(painter, Glyph::kAperture, QRectF(9, 7, 16, 16), colour::kAccent);
    painter.restore();
}

QColor TitleBandColour(int y) {
    if (y <= 0) {
        return colour::kEdgeLight;
    }
    if (y >= kTitleBandHeight - 1) {
        return colour::kEdgeDark;
    }
    const qreal t = qreal(y - 1) / (kTitleBandHeight - 3);
    return Mix(QColor(0x2c, 0x33, 0x3c), QColor(0x1f, 0x24, 0x2a), t);
}

QImage NewDrawing(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage KeyedPicture(const QImage& drawing, const QColor& ground, const QColor& key) {
    const QImage source = drawing.convertToFormat(QImage::Format_ARGB32);
    QImage picture = NewPicture(source.width(), source.height(), key);
    const QRgb keyRgb = key.rgb();
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            const QRgb s = source.pixel(x, y);
            if (qAlpha(s) < 128) {
                continue;
            }
            QColor c = Mix(ground, QColor(qRed(s), qGreen(s), qBlue(s)), qAlpha(s) / 255.0);
            if (c.rgb() == keyRgb) {
                // One step off the key, towards the middle of the range.
                c = QColor(qRed(keyRgb) > 127 ? 254 : 1, qGreen(keyRgb) > 127 ? 254 : 1,
                           qBlue(keyRgb) > 127 ? 254 : 1);
            }
            picture.setPixel(x, y, c.rgb());
        }
    }
    return picture;
}

QColor Mix(const QColor& a, const QColor& b, qreal t) {
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t);
}

void CutCorners(QImage& skin, int radius, const QColor& outline) {
    const int w = skin.width(), h = skin.height();
    const QRgb key = colour::kKeyWhite.rgb();
    for (int y = 0; y < radius; ++y) {
        for (int x = 0; x < radius; ++x) {
            // Distance of the pixel centre from the arc's centre, in the top-left corner's frame.
            const double dx = radius - (x + 0.5), dy = radius - (y + 0.5);
            const double d = std::sqrt(dx * dx + dy * dy);
            const bool outside = d > radius;
            const bool onArc = !outside && d > radius - 1.2;
            const int xs[2] = {x, w - 1 - x}, ys[2] = {y, h - 1 - y};
            for (int cy : ys) {
                for (int cx : xs) {
                    if (outside) {
                        skin.setPixel(cx, cy, key);
                    } else if (onArc) {
                        skin.setPixel(cx, cy, outline.rgb());
                    }
                }
            }
        }
    }
}

void FinishShapedSkin(QImage& skin, int radius, bool cutCorners) {
    ClearKeyWhite(skin);
    if (cutCorners) {
        CutCorners(skin, radius, colour::kEdgeLight);
    }
}

void ClearKeyWhite(QImage& picture) {
    const QRgb key = colour::kKeyWhite.rgb();
    const QRgb nearWhite = qRgb(254, 254, 254);
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if ((line[x] | 0xFF000000u) == key) {
                line[x] = nearWhite;
            }
        }
    }
}

}  // namespace artwork
