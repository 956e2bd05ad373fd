// artwork: draws every bitmap of the programs and writes it as <bitmap folder>/<number>.png, and the
// application icon as <icon folder>/128.png. Run by hand when the look changes:
//   build/tools/artwork/artwork resources/bitmaps [resources/icons]
// The icon folder defaults to "icons" beside the bitmap folder. `artwork --table` prints the catalog as the
// Markdown table of the README.

#include <QDir>
#include <QImage>
#include <cstdio>
#include <string_view>

#include "tools/artwork/artwork.h"
#include "tools/artwork/catalog.h"
#include "tools/artwork/icons.h"

namespace {

void PrintTable() {
    std::printf("| number | size (pixels) | strip of three | family | meaning |\n|---|---|---|---|---|\n");
    for (const ArtworkEntry& entry : ArtworkCatalog()) {
        char strip[32] = "-";
        if (entry.frames == 3) {
            std::snprintf(strip, sizeof strip, "%d x %d", entry.width / 3, entry.height);
        }
        std::printf("| %u | %d x %d | %s | %s | %s |\n", entry.id, entry.width, entry.height, strip,
                    entry.family, entry.meaning);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string_view(argv[1]) == "--table") {
        PrintTable();
        return 0;
    }
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s <bitmap folder> [<icon folder>] | --table\n", argv[0]);
        return 2;
    }
    const QString bitmapDir = QString::fromLocal8Bit(argv[1]);
    const QString iconDir = argc == 3 ? QString::fromLocal8Bit(argv[2])
                                      : QDir(bitmapDir).absoluteFilePath(QStringLiteral("../icons"));
    if (!QDir().mkpath(bitmapDir) || !QDir().mkpath(iconDir)) {
        std::fprintf(stderr, "artwork: cannot create the output folders\n");
        return 1;
    }
    int failures = 0;
    for (const ArtworkEntry& entry : ArtworkCatalog()) {
        const QImage picture = DrawArtwork(entry.id);
        const QString path = QDir(bitmapDir).filePath(QStringLiteral("%1.png").arg(entry.id));
        if (picture.isNull() || picture.width() != entry.width || picture.height() != entry.height) {
            std::fprintf(stderr, "artwork: %u is not drawn at %d x %d\n", entry.id, entry.width,
                         entry.height);
            ++failures;
            continue;
        }
        if (!picture.convertToFormat(QImage::Format_RGB888).save(path, "PNG", 9)) {
            std::fprintf(stderr, "artwork: cannot write %s\n", qPrintable(path));
            ++failures;
        }
    }
    const QString iconPath = QDir(iconDir).filePath(QStringLiteral("%1.png").arg(kAppIconId));
    if (!artwork::DrawAppIcon(kAppIconSize).save(iconPath, "PNG", 9)) {
        std::fprintf(stderr, "artwork: cannot write %s\n", qPrintable(iconPath));
        ++failures;
    }
    return failures == 0 ? 0 : 1;
}
