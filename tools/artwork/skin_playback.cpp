#include "tools/artwork/paint_kit.h"
#include "tools/artwork/skins.h"

// Playback dialog skin, 1024 x 768. At other sizes the dialog stretches the top edge (x 30..704), the left
// edge (y 30..598), the bottom edge (x 50..704, y 598..) and the right column (x 704.., y 254..592); those
// stay uniform in the stretched direction. The controls on the right (tab, calendar, lists, transport) and
// the position slider, time text and record bar below the video sit on the plain frame colour, with wells
// and group panels only where the fixed blocks hold them.
namespace artwork {
namespace {

constexpr int W = 1024;
constexpr int H = 768;
constexpr int kVideoRight = W - 320;  // video area (30, 30) - (W-320, H-170)
constexpr int kVideoBottom = H - 170;

void DrawFrame(QPainter& p) {
    p.fillRect(0, 0, W, H, colour::kBase);
    for (int y = 0; y < kTitleBandHeight; ++y) {
        p.fillRect(0, y, W, 1, TitleBandColour(y));
    }
    p.fillRect(30, 30, kVideoRight - 30, kVideoBottom - 30, colour::kVoid);
    p.setPen(colour::kEdgeDark);
    p.drawLine(29, 29, kVideoRight, 29);
    p.drawLine(29, 29, 29, kVideoBottom);
    p.setPen(colour::kEdgeLight.darker(110));
    p.drawLine(29, kVideoBottom, kVideoRight, kVideoBottom);
    p.drawLine(kVideoRight, 30, kVideoRight, kVideoBottom);
    p.setPen(colour::kEdgeLight);
    p.drawRect(0, 0, W - 1, H - 1);
}

void DrawSearchGroup(QPainter& p) {
    // Tab strip at (W-300, 26, 280, 20); below it the page that holds the calendar (W-292, 54, 264 x 160)
    // or the file-search fields and the Search button (W-77, 164).
    DrawRaisedPanel(p, QRectF(W - 302, 45, 284, 179), 4);
    // Channel and file lists (W-300, 234, 280 x H-374): a sunken frame one pixel around them; its bottom
    // edge sits in the fixed bottom block so the stretched column stays uniform.
    DrawWell(p, QRect(W - 301, 233, 282, H - 374 + 2), colour::kWell);
}

void DrawTransportGroup(QPainter& p) {
    // Seven transport buttons of 29 x 23 from (W-280, H-133), 33 pixels apart.
    DrawRaisedPanel(p, QRectF(W - 286, H - 137, 245, 31), 5);
}

void DrawAudioGroup(QPainter& p) {
    // Mute (W-167, H-55), volume (W-139, H-47) and exit (W-75, H-75) on the same panel colour as the main
    // window's right panel, so the shared button and slider pictures fit both windows.
    p.save();
    PrepareSmooth(p);
    p.setPen(QPen(colour::kEdgeLight.darker(118), 1));
    p.setBrush(colour::kPanel);
    p.drawRoundedRect(QRectF(W - 174.5, H - 76.5, 161, 62), 6, 6);
    p.restore();
}

}  // namespace

QImage DrawPlaybackSkin(Corners corners) {
    QImage skin = NewPicture(W, H, colour::kBase);
    {
        QPainter p(&skin);
        DrawFrame(p);
        DrawCornerEmblem(p);
        DrawSearchGroup(p);
        DrawTransportGroup(p);
        DrawAudioGroup(p);
    }
    FinishShapedSkin(skin, kCornerRadius, corners == Corners::kCut);
    return skin;
}

}  // namespace artwork
