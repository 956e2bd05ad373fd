#include "ui/main_window_layout.h"

namespace {

RECT Box(int x, int y, int cx, int cy) {
    return RECT{x, y, x + cx, y + cy};
}

struct PieceRule {
    int dx, dy, dw, dh;  // destination: each as a + b*W or a + b*H below
    int wx, hy, ww, hh;  // the W / H factors of dx, dy, dw, dh
    RECT src;
    bool stretch;
};

// The nine pieces: destination x = dx + wx*W, y = dy + hy*H, width = dw + ww*W, height = dh + hh*H.
const PieceRule kPieces[] = {
    {0, 0, 30, 30, 0, 0, 0, 0, {0, 0, 30, 30}, false},                 // top-left corner
    {-204, 0, 204, 115, 1, 0, 0, 0, {820, 0, 1024, 115}, false},       // right panel top
    {-560, -397, 560, 397, 1, 1, 0, 0, {464, 371, 1024, 768}, false},  // bottom-right block
    {0, -88, 402, 88, 0, 1, 0, 0, {0, 680, 402, 768}, false},          // bottom-left block
    {30, 0, -234, 30, 0, 0, 1, 0, {30, 0, 820, 30}, true},             // title band
    {402, -88, -962, 88, 0, 1, 1, 0, {402, 680, 464, 768}, true},      // bottom band
    {0, 30, 30, -118, 0, 0, 0, 1, {0, 30, 30, 680}, true},             // left band
    {-204, 115, 204, -512, 1, 0, 0, 1, {820, 115, 1024, 371}, true},   // right panel middle
    {30, 30, -234, -118, 0, 0, 1, 1, {30, 30, 820, 680}, true},        // centre
};

}  // namespace

std::vector<SkinPiece> MainSkinPieces(int width, int height) {
    if (width == SKIN_WIDTH && height == SKIN_HEIGHT)
        return {SkinPiece{RECT{0, 0, SKIN_WIDTH, SKIN_HEIGHT}, RECT{0, 0, SKIN_WIDTH, SKIN_HEIGHT}, false}};
    std::vector<SkinPiece> pieces;
    for (const PieceRule& p : kPieces) {
        int x = p.dx + p.wx * width;
        int y = p.dy + p.hy * height;
        int cx = p.dw + p.ww * width;
        int cy = p.dh + p.hh * height;
        if (cx <= 0 || cy <= 0)
            continue;  // a band squeezed out by a small window draws nothing
        pieces.push_back(SkinPiece{Box(x, y, cx, cy), p.src, p.stretch});
    }
    return pieces;
}

std::vector<ControlPlacement> MainControlPlacements(int width, int height, int screenWidth, bool loggedIn) {
    const int W = width;
    const int H = height;
    const bool maximised = W == screenWidth;
    struct Row {
        UINT id;
        UINT bitmap;
        int x, y, cx, cy;
        bool visible;
    };
    const Row rows[] = {
        {1039, 224, W - 31, 0, 31, 21, true},
        {1037, 225, W - 52, 0, 21, 21, !maximised},
        {1038, 227, W - 52, 0, 21, 21, maximised},
        {1036, 226, W - 73, 0, 21, 21, true},
        {1000, 171, W - 75, H - 70, 55, 55, true},
        {1001, 178, W - 38, H - 40, 28, 30, false},
        {1026, 153, W - 184, H - 50, 28, 30, true},
        {1025, 0, W - 156, H - 42, 59, 12, true},
        {1021, 168, W - 121, H - 154, 45, 45, true},
        {1020, 167, W - 121, H - 199, 45, 45, true},
        {1022, 172, W - 121, H - 109, 45, 45, true},
        {1023, 170, W - 166, H - 154, 45, 45, true},
        {1024, 169, W - 76, H - 154, 45, 45, true},
        {1017, 181, W - 184, H - 230, 51, 24, true},
        {1018, 182, W - 128, H - 230, 51, 24, true},
        {1019, 183, W - 71, H - 230, 51, 24, true},
        {1014, 0, W - 184, H - 258, 142, 20, true},
        {1015, 206, W - 42, H - 258, 20, 10, true},
        {1016, 205, W - 42, H - 248, 20, 10, true},
        {1012, 173, W - 184, H - 299, 52, 26, true},
        {1013, 174, W - 72, H - 299, 52, 26, true},
        {1010, 177, W - 184, H - 328, 52, 26, true},
        {1011, 176, W - 72, H - 328, 52, 26, true},
        {1008, 177, W - 184, H - 357, 52, 26, true},
        {1009, 176, W - 72, H - 357, 52, 26, true},
        {1006, 219, W - 161, H - 395, 29, 23, true},
        {1007, 218, W - 72, H - 395, 29, 23, true},
        {1005, 132, W - 184, 100, 164, H - 501, true},
        {1003, 160, W - 253, H - 78, 49, 22, true},
        {1032, loggedIn ? 166u : 158u, W - 253, H - 50, 49, 22, true},
        {1030, 162, W - 312, H - 78, 49, 22, true},
        {1031, 165, W - 312, H - 50, 49, 22, true},
        {1004, 164, W - 371, H - 78, 49, 22, true},
        {1034, 156, W - 371, H - 50, 49, 22, true},
        {1027, 157, W - 430, H - 78, 49, 22, true},
        {1035, 163, W - 430, H - 50, 49, 22, true},
        {1028, 159, W - 489, H - 50, 49, 22, true},
        {1029, 161, W - 548, H - 50, 49, 22, true},
        {1033, 0, W - 548, H - 78, 108, 200, true},
    };
    std::vector<ControlPlacement> out;
    out.reserve(std::size(rows));
    for (const Row& r : rows)
        out.push_back(ControlPlacement{r.id, r.bitmap, Box(r.x, r.y, r.cx, r.cy), r.visible});
    return out;
}

POINT ChannelLedPosition(int screen, int height) {
    return POINT{20 + (screen % 16) * 19, height - 72 + (screen / 16) * 19};
}

std::vector<POINT> SkinCornerCutPixels(const QImage& skin, int width, int height) {
    constexpr int kCorner = 11;
    std::vector<POINT> cut;
    const int bw = skin.width();
    const int bh = skin.height();
    if (bw < kCorner || bh < kCorner)
        return cut;
    auto white = [&skin](int x, int y) { return (skin.pixel(x, y) & 0xFFFFFFu) == 0xFFFFFFu; };
    for (int y = 0; y < kCorner; ++y) {
        for (int x = 0; x < kCorner; ++x) {
            if (white(x, y))
                cut.push_back(POINT{x, y});
            if (white(bw - 1 - x, y))
                cut.push_back(POINT{width - 1 - x, y});
            if (white(x, bh - 1 - y))
                cut.push_back(POINT{x, height - 1 - y});
            if (white(bw - 1 - x, bh - 1 - y))
                cut.push_back(POINT{width - 1 - x, height - 1 - y});
        }
    }
    return cut;
}
