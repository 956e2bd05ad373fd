#include "resources/resource_icons.h"

#include <QString>

QImage LoadResourceIcon(unsigned id) {
    QImage image(QStringLiteral(":/icons/%1.png").arg(id));
    if (image.isNull()) {
        return image;
    }
    return image.convertToFormat(QImage::Format_ARGB32);
}
