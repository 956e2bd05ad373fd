#include "resources/resource_bitmaps.h"

#include <QString>

QImage LoadResourceBitmap(unsigned id) {
    QImage image(QStringLiteral(":/bitmaps/%1.png").arg(id));
    if (image.isNull()) {
        return image;
    }
    return image.convertToFormat(QImage::Format_RGB32);
}
