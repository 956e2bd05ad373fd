#include "tests/e2e/x_screen_reading.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <vector>

#include "platform/ui/dialog_font.h"
#include "resources/dialogs/dialog_templates.h"
#include "ui/main_window_layout.h"

void EnsureGuiApplication() {
    if (QCoreApplication::instance() != nullptr)
        return;
    static int argc = 3;
    static char name[] = "e2e", option[] = "-platform", platform[] = "offscreen";
    static char* argv[] = {name, option, platform, nullptr};
    // Lives until the process ends: Qt keeps using it.
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}

QSize TemplatePixelSize(UINT templateId) {
    const DialogTemplate* t = FindDialogTemplate(templateId);
    if (t == nullptr)
        return QSize();
    const DialogPixelRect r = DialogRectToPixels(t->x, t->y, t->cx, t->cy);
    return QSize(r.cx, r.cy);
}

QRect TemplateControlRect(QPoint origin, UINT templateId, UINT controlId) {
    const DialogTemplate* t = FindDialogTemplate(templateId);
    for (size_t i = 0; t != nullptr && i < t->itemCount; ++i) {
        const DialogItemTemplate& item = t->items[i];
        if (item.id != controlId)
            continue;
        const DialogPixelRect r = DialogRectToPixels(item.x, item.y, item.cx, item.cy);
        return QRect(origin.x() + r.x, origin.y() + r.y, r.cx, r.cy);
    }
    return QRect();
}

namespace {

// Grey levels, 0 black to 255 white.
using Greys = std::vector<std::vector<int>>;

// Ink for sure, ink, and a trace of ink: anti-aliased edges fall either side of a single threshold
// depending on the platform plugin's gamma, so each side is held to less than it asks of itself. A sure
// pixel of the text needs ink in the picture; ink in the picture needs at least a trace in the text (so
// a dark background, a selected row, matches nothing).
constexpr int kSureInk = 96;
constexpr int kAnyInk = 176;
constexpr int kTraceInk = 232;

// Text drawn black on white in the dialog font, cut to the bounding box of its ink.
Greys TextGreys(const QString& text) {
    const QFont font = DialogFont();
    const QFontMetrics metrics(font);
    QImage image(metrics.horizontalAdvance(text) + 8, metrics.height() + 8, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(4, 4 + metrics.ascent(), text);
    }
    int left = image.width(), right = -1, top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < kAnyInk) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    Greys greys;
    for (int y = top; y <= bottom; ++y) {
        std::vector<int> row;
        for (int x = left; x <= right; ++x)
            row.push_back(qGray(image.pixel(x, y)));
        greys.push_back(std::move(row));
    }
    return greys;
}

// Some ink in row at most one pixel to either side of x (a glyph may stand a pixel off where the
// program's platform plugin placed it).
bool InkNear(const std::vector<int>& row, int x, int level) {
    for (int k = -1; k <= 1; ++k) {
        if (x + k >= 0 && x + k < static_cast<int>(row.size()) && row[x + k] < level)
            return true;
    }
    return false;
}

}  // namespace

QPoint FindText(const QImage& picture, const QRect& area, const QString& text) {
    const Greys ref = TextGreys(text);
    const QRect within = area.intersected(picture.rect());
    if (ref.empty() || within.isEmpty())
        return QPoint(-1, -1);
    Greys shown(static_cast<size_t>(within.height()), std::vector<int>(static_cast<size_t>(within.width())));
    for (int y = 0; y < within.height(); ++y) {
        for (int x = 0; x < within.width(); ++x)
            shown[y][x] = qGray(picture.pixel(within.left() + x, within.top() + y));
    }
    const int h = static_cast<int>(ref.size()), w = static_cast<int>(ref[0].size());
    constexpr int kAllowed = 1;
    for (int y = 0; y + h <= within.height(); ++y) {
        for (int x = 0; x + w <= within.width(); ++x) {
            int differ = 0;
            for (int my = 0; my < h && differ <= kAllowed; ++my) {
                const std::vector<int>& line = shown[y + my];
                for (int mx = 0; mx < w && differ <= kAllowed; ++mx) {
                    if (ref[my][mx] < kSureInk && !InkNear(line, x + mx, kAnyInk))
                        ++differ;
                    if (line[x + mx] < kAnyInk && !InkNear(ref[my], mx, kTraceInk))
                        ++differ;
                }
            }
            if (differ <= kAllowed)
                return within.topLeft() + QPoint(x, y);
        }
    }
    return QPoint(-1, -1);
}

QRect MainWindowControlRect(const QRect& window, UINT id, int screenWidth) {
    for (const ControlPlacement& p :
         MainControlPlacements(window.width(), window.height(), screenWidth, true)) {
        if (p.id == id && p.visible)
            return QRect(window.x() + p.rect.left, window.y() + p.rect.top, p.rect.right - p.rect.left,
                         p.rect.bottom - p.rect.top);
    }
    return QRect();
}

QImage TreeIcon(int bitmap) {
    return QImage(QStringLiteral(VISTAL_SOURCE_DIR "/resources/bitmaps/%1.png").arg(bitmap))
        .convertToFormat(QImage::Format_RGB32);
}

int CountIcon(const QImage& picture, const QImage& icon) {
    int found = 0;
    for (int y = 0; y + icon.height() <= picture.height(); ++y) {
        for (int x = 0; x + icon.width() <= picture.width(); ++x) {
            bool match = true;
            for (int iy = 0; iy < icon.height() && match; ++iy) {
                for (int ix = 0; ix < icon.width() && match; ++ix) {
                    QRgb want = icon.pixel(ix, iy) & 0xFFFFFF;
                    match = want == 0 || (picture.pixel(x + ix, y + iy) & 0xFFFFFF) == want;
                }
            }
            found += match ? 1 : 0;
        }
    }
    return found;
}
