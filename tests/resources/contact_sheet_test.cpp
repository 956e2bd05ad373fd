// Writes the whole artwork set on one contact sheet, tests/out/artwork_set.png in the build folder, for
// looking at the pictures together.
#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>

#include "resources/resource_bitmaps.h"
#include "resources/resource_icons.h"
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

    const QImage sheet = MakeContactSheet(items, 2200);
    ASSERT_TRUE(QDir().mkpath(QStringLiteral(VISTAL_TEST_OUT_DIR)));
    const QString path = QStringLiteral(VISTAL_TEST_OUT_DIR "/artwork_set.png");
    ASSERT_TRUE(sheet.save(path));
    const QImage written(path);
    EXPECT_EQ(written.size(), sheet.size());
}

}  // namespace
