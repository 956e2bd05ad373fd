#include "tools/artwork/glyphs.h"
#include "tools/artwork/paint_kit.h"
#include "tools/artwork/skins.h"

// Main window skin, 1024 x 768. The window draws it in nine pieces at other sizes: the title band
// (x 30..820), the left band (y 30..680), the centre, the right panel's middle (y 115..371) and the bottom
// band (x 402..464) are stretched, so each is kept uniform in the direction it is stretched. Fixed pieces:
// the top-left corner, the right panel's top (x 820.., y ..115), the bottom-right block (x 464.., y 371..)
// and the bottom-left block (x ..402, y 680..).
namespace artwork {
namespace {

constexpr int W = 1024;
constexpr int H = 768;
constexpr int kPanelX = W - 204;  // right panel
constexpr int kBarY = H - 88;     // bottom bar
constexpr int kVideoLeft = 30;    // video area (30, 30) - (W - 204, H - 88)
constexpr int kVideoTop = 30;

void DrawFrame(QPainter& p) {
    p.fillRect(0, 0, W, H, colour::kBase);
    for (int y = 0; y < kTitleBandHeight; ++y) {
        p.fillRect(0, y, W, 1, TitleBandColour(y));
    }
    // Bottom bar: a soft band, darker towards the window edge.
    FillGradient(p, QRectF(0, kBarY, kPanelX, H - kBarY), QColor(0x21, 0x26, 0x2c), colour::kBase);
    // Right panel from below the title band to the bottom.
    p.fillRect(kPanelX, kTitleBandHeight, W - kPanelX, H - kTitleBandHeight, colour::kPanel);
    p.setPen(colour::kEdgeDark);
    p.drawLine(kPanelX, kTitleBandHeight, kPanelX, H - 1);
    p.setPen(colour::kEdgeLight.darker(125));
    p.drawLine(kPanelX + 1, kTitleBandHeight, kPanelX + 1, H - 1);
    // Video area with a sunken edge around it.
    p.fillRect(kVideoLeft, kVideoTop, kPanelX - kVideoLeft, kBarY - kVideoTop, colour::kVoid);
    p.setPen(colour::kEdgeDark);
    p.drawLine(kVideoLeft - 1, kVideoTop - 1, kPanelX - 1, kVideoTop - 1);
    p.drawLine(kVideoLeft - 1, kVideoTop - 1, kVideoLeft - 1, kBarY);
    p.setPen(colour::kEdgeLight.darker(110));
    p.drawLine(kVideoLeft - 1, kBarY, kPanelX - 1, kBarY);
    // Window outline.
    p.setPen(colour::kEdgeLight);
    p.drawRect(0, 0, W - 1, H - 1);
}

void DrawTreeFrame(QPainter& p) {
    // The tree control covers (W-184, 100) - (W-20, H-401); its frame closes just below that, inside the
    // fixed bottom-right block, so the stretched middle stays uniform.
    DrawWell(p, QRect(W - 186, 97, 168, H - 397 + 2 - 97), colour::kTreeGround);
    // A quiet header above the tree: the device pictogram between two rules.
    p.setPen(colour::kEdgeLight.darker(120));
    p.drawLine(W - 184, 64, W - 140, 64);
    p.drawLine(W - 64, 64, W - 20, 64);
    PrepareSmooth(p);
    DrawGlyph(p, Glyph::kCamera, QRectF(W - 114, 52, 24, 24), colour::kInkDim);
    p.setRenderHint(QPainter::Antialiasing, false);
}

void DrawLensGroup(QPainter& p) {
    // Focus (y H-357), zoom (H-328) and iris (H-299) rows, 26 high; the pictogram between the two buttons
    // names the row.
    DrawRaisedPanel(p, QRectF(W - 188, H - 363, 172, 96), 5);
    PrepareSmooth(p);
    const qreal cx = W - 102;
    const Glyph rows[] = {Glyph::kFocus, Glyph::kZoom, Glyph::kAperture};
    for (int i = 0; i < 3; ++i) {
        const qreal cy = H - 357 + 29 * i + 13;
        DrawGlyph(p, rows[i], QRectF(cx - 9, cy - 9, 18, 18), colour::kInkDim);
    }
    p.setRenderHint(QPainter::Antialiasing, false);
}

void DrawPresetGroup(QPainter& p) {
    // Preset edit (W-184, H-258, 142 x 20), spin buttons beside it, then set / clear / goto at H-230.
    DrawRaisedPanel(p, QRectF(W - 188, H - 264, 172, 64), 5);
    DrawWell(p, QRect(W - 185, H - 259, 144, 22), colour::kWell);
}

void DrawChannelLights(QPainter& p) {
    // Four rows of sixteen 17 x 17 lights from (20, H-72), 19 pixels apart, on a sunken tray of the colour
    // the light cells have around the lamp.
    DrawWell(p, QRect(14, H - 78, 316, 77), colour::kWell);
}

void DrawBottomSeparators(QPainter& p) {
    // A groove left of the button block of the bottom bar (buttons from W-548).
    p.setPen(colour::kEdgeDark);
    p.drawLine(W - 558, kBarY + 10, W - 558, H - 12);
    p.setPen(colour::kEdgeLight.darker(130));
    p.drawLine(W - 557, kBarY + 10, W - 557, H - 12);
}

}  // namespace

QImage DrawMainSkin(Corners corners) {
    QImage skin = NewPicture(W, H, colour::kBase);
    {
        QPainter p(&skin);
        DrawFrame(p);
        DrawCornerEmblem(p);
        DrawTreeFrame(p);
        DrawLensGroup(p);
        DrawPresetGroup(p);
        DrawPtzPad(p, QPointF(kMainPadX, kMainPadY), -1, 0);
        DrawChannelLights(p);
        DrawBottomSeparators(p);
    }
    FinishShapedSkin(skin, kCornerRadius, corners == Corners::kCut);
    return skin;
}

}  // namespace artwork
