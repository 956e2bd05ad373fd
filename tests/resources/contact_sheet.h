#pragma once

#include <QImage>
#include <QRect>
#include <vector>

// One picture of a set with its resource number, for a contact sheet.
struct SheetItem {
    unsigned id;
    QImage picture;
};

// Lays the pictures out in rows on one sheet, each scaled to a size that can be looked at (large skins
// halved, small images enlarged without smoothing) with its number below it.
// places (optional) receives the rectangle of each picture on the sheet, in the order of items.
QImage MakeContactSheet(const std::vector<SheetItem>& items, int sheetWidth,
                        std::vector<QRect>* places = nullptr);
