#include "tests/ui/controls/gallery_pictures.h"

#include <QLinearGradient>
#include <QPainter>

#include "resources/resource_bitmaps.h"

namespace {

bool g_standIns = false;

QImage Loaded(unsigned id) {
    QImage image = LoadResourceBitmap(id);
    if (image.isNull())
        g_standIns = true;
    return image;
}

}  // namespace

bool GalleryUsedStandIns() {
    return g_standIns;
}

QImage GalleryButtonStrip(unsigned id, QSize size, const char* label) {
    QImage image = Loaded(id);
    if (!image.isNull())
        return image;
    image = QImage(size.width() * 3, size.height(), QImage::Format_RGB32);
    QPainter painter(&image);
    const QColor faces[3] = {QColor(58, 74, 110), QColor(86, 120, 180), QColor(30, 40, 66)};
    for (int k = 0; k < 3; ++k) {
        QRect r(k * size.width(), 0, size.width(), size.height());
        QLinearGradient gradient(r.topLeft(), r.bottomLeft());
        gradient.setColorAt(0, faces[k].lighter(k == 2 ? 90 : 140));
        gradient.setColorAt(1, faces[k]);
        painter.fillRect(r, gradient);
        painter.setPen(QColor(200, 210, 230));
        painter.drawRect(r.adjusted(0, 0, -1, -1));
        painter.setPen(Qt::white);
        painter.drawText(r.translated(k == 2 ? 1 : 0, k == 2 ? 1 : 0), Qt::AlignCenter, label);
    }
    return image;
}

QImage GallerySkin(unsigned id, QSize size) {
    QImage image = Loaded(id);
    if (!image.isNull())
        return image.scaled(size);
    image = QImage(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 0, size.height());
    gradient.setColorAt(0, QColor(40, 52, 80));
    gradient.setColorAt(1, QColor(14, 18, 30));
    painter.fillRect(image.rect(), gradient);
    painter.setPen(QColor(70, 90, 130));
    for (int y = 0; y < size.height(); y += 24)
        painter.drawLine(0, y, size.width(), y);
    return image;
}

QImage GalleryChannel(unsigned id, QSize size, bool active) {
    QImage image = Loaded(id);
    if (!image.isNull())
        return image.width() == size.width() ? image : image.scaled(size);
    image = QImage(size, QImage::Format_RGB32);
    image.fill(QColor(20, 24, 36));
    QPainter painter(&image);
    painter.fillRect(QRect(0, size.height() / 2 - 2, size.width(), 4),
                     active ? QColor(80, 170, 255) : QColor(90, 90, 100));
    return image;
}

QImage GalleryThumb(unsigned id, bool dragged) {
    QImage image = Loaded(id);
    if (!image.isNull())
        return image;
    image = QImage(8, 12, QImage::Format_RGB32);
    image.fill(Qt::white);  // transparent
    QPainter painter(&image);
    painter.fillRect(QRect(1, 0, 6, 12), dragged ? QColor(255, 200, 60) : QColor(220, 220, 230));
    return image;
}

QImage GalleryTreeBackground(unsigned id) {
    QImage image = Loaded(id);
    if (!image.isNull())
        return image;
    image = QImage(322, 421, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 322, 421);
    gradient.setColorAt(0, QColor(200, 212, 230));
    gradient.setColorAt(1, QColor(150, 168, 200));
    painter.fillRect(image.rect(), gradient);
    return image;
}
