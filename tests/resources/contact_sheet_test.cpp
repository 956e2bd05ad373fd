// The whole artwork set on one contact sheet: every picture has a place of its own inside the sheet and
// shows there; the sheet is written as artwork_set.png (tests/picture_output.h) for looking at the set.
#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>

#include "resources/resource_bitmaps.h"
#include "resources/resource_icons.h"
#include "tests/picture_output.h"
#include "tests/resources/contact_sheet.h"
#include "tools/artwork/catalog.h"

namespace {

TEST(ArtworkContactSheet, WritesEveryPictureOnOneSheet) {
    std::vector<SheetItem> items;
    for (const ArtworkEntry& entry : ArtworkCatalog()) {
        items.push_back({entry.id, LoadResourceBitmap(entry.id)});
        ASSERT_FALSE(items.back().picture.isNull()) << entry.id;
    }
    QImage icon(kAppIconSize / 2, kAppIconSize / 2, QImage::Format_RGB32);
    icon.fill(QColor(0x55, 0x58, 0x5c));
    {
        QPainter p(&icon);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(icon.rect(), LoadResourceIcon(kAppIconId));
    }
    items.push_back({kAppIconId, icon});

    std::vector<QRect> places;
    const QImage sheet = MakeContactSheet(items, 2200, &places);
    ASSERT_EQ(places.size(), items.size());
    const QRgb ground = sheet.pixel(0, 0);
    for (size_t i = 0; i < places.size(); ++i) {
        SCOPED_TRACE(items[i].id);
        EXPECT_TRUE(sheet.rect().contains(places[i]));
        for (size_t j = i + 1; j < places.size(); ++j)
            EXPECT_FALSE(places[i].intersects(places[j])) << "overlaps " << items[j].id;
        // The picture is there: its place is not all sheet ground.
        const QImage shown = sheet.copy(places[i]);
        bool drawn = false;
        for (int y = 0; y < shown.height() && !drawn; ++y) {
            for (int x = 0; x < shown.width() && !drawn; ++x)
                drawn = shown.pixel(x, y) != ground;
        }
        EXPECT_TRUE(drawn);
    }
    const QString path = PicturePath(QStringLiteral("artwork_set.png"));
    ASSERT_TRUE(sheet.save(path));
    const QImage written(path);
    EXPECT_EQ(written.size(), sheet.size());
}

}  // namespace
