#include "tests/resources/contact_sheet.h"

#include <QPainter>
#include <algorithm>

namespace {

// Digits of a 3 x 5 pixel font, one row of three bits per entry (top row first), so the sheet needs no
// font files.
constexpr unsigned char kDigits[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};
constexpr int kDot = 3;
constexpr int kLabelHeight = 5 * kDot + 8;
constexpr int kGap = 16;

void DrawNumber(QPainter& p, unsigned number, int x, int y) {
    const QString text = QString::number(number);
    for (QChar ch : text) {
        const int d = ch.digitValue();
        for (int row = 0; row < 5; ++row) {
            for (int col = 0; col < 3; ++col) {
                if (kDigits[d][row] & (4 >> col)) {
                    p.fillRect(x + col * kDot, y + row * kDot, kDot, kDot, QColor(0xe8, 0xe8, 0xe8));
                }
            }
        }
        x += 4 * kDot;
    }
}

int ScaleFor(const QImage& picture) {
    const int side = std::max(picture.width(), picture.height());
    return side >= 300 ? -2 : side <= 20 ? 4 : side <= 100 ? 2 : 1;  // negative: shrink
}

}  // namespace

QImage MakeContactSheet(const std::vector<SheetItem>& items, int sheetWidth, std::vector<QRect>* places) {
    struct Placed {
        const SheetItem* item;
        QRect where;
    };
    std::vector<Placed> placed;
    int x = kGap, y = kGap, rowHeight = 0;
    for (const SheetItem& item : items) {
        const int scale = ScaleFor(item.picture);
        const QSize size = scale > 0 ? item.picture.size() * scale : item.picture.size() / -scale;
        if (x + size.width() + kGap > sheetWidth && x > kGap) {
            x = kGap;
            y += rowHeight + kLabelHeight + kGap;
            rowHeight = 0;
        }
        placed.push_back({&item, QRect(QPoint(x, y), size)});
        x += std::max(size.width(), 60) + kGap;
        rowHeight = std::max(rowHeight, size.height());
    }
    QImage sheet(sheetWidth, y + rowHeight + kLabelHeight + kGap, QImage::Format_RGB32);
    sheet.fill(QColor(0x55, 0x58, 0x5c));
    QPainter p(&sheet);
    for (const Placed& entry : placed) {
        p.setRenderHint(QPainter::SmoothPixmapTransform, entry.where.width() < entry.item->picture.width());
        p.drawImage(entry.where, entry.item->picture);
        DrawNumber(p, entry.item->id, entry.where.left(), entry.where.bottom() + 5);
        if (places != nullptr)
            places->push_back(entry.where);
    }
    return sheet;
}
