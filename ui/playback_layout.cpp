#include "ui/playback_layout.h"

namespace {

RECT Box(int x, int y, int cx, int cy) {
    return RECT{x, y, x + cx, y + cy};
}

}  // namespace

int PlaybackPosWidth(int width) {
    int w = (width - 350) / 24 * 24;
    return w > 0 ? w : 0;
}

std::vector<SkinPiece> PlaybackSkinPieces(int width, int height) {
    const int W = width;
    const int H = height;
    if (W == SKIN_WIDTH && H == SKIN_HEIGHT)
        return {SkinPiece{RECT{0, 0, SKIN_WIDTH, SKIN_HEIGHT}, RECT{0, 0, SKIN_WIDTH, SKIN_HEIGHT}, false}};
    // Destination x, y, w, h, then the source rectangle in the 1024 x 768 bitmap.
    const struct {
        RECT dst;
        RECT src;
    } pieces[] = {
        {Box(0, 0, 30, 30), Box(0, 0, 30, 30)},                      // top-left corner
        {Box(W - 320, 0, 320, 254), Box(704, 0, 320, 254)},          // top-right block
        {Box(W - 320, H - 176, 320, 176), Box(704, 592, 320, 176)},  // bottom-right block
        {Box(0, H - 170, 50, 170), Box(0, 598, 50, 170)},            // bottom-left block
        {Box(30, 0, W - 350, 30), Box(30, 0, 674, 30)},              // top edge
        {Box(50, H - 170, W - 370, 170), Box(50, 598, 654, 170)},    // bottom edge
        {Box(0, 30, 30, H - 200), Box(0, 30, 30, 568)},              // left edge
        {Box(W - 320, 254, 320, H - 430), Box(704, 254, 320, 338)},  // right column
        {Box(30, 30, W - 350, H - 200), Box(30, 30, 674, 568)},      // centre
    };
    std::vector<SkinPiece> out;
    for (const auto& p : pieces) {
        int dw = p.dst.right - p.dst.left, dh = p.dst.bottom - p.dst.top;
        int sw = p.src.right - p.src.left, sh = p.src.bottom - p.src.top;
        if (dw <= 0 || dh <= 0)
            continue;
        out.push_back(SkinPiece{p.dst, p.src, dw != sw || dh != sh});
    }
    return out;
}

std::vector<ControlPlacement> PlaybackControlPlacements(int width, int height) {
    const int W = width;
    const int H = height;
    const int pos = PlaybackPosWidth(W);
    const struct {
        UINT id;
        UINT bitmap;
        RECT rect;
    } rows[] = {
        {1119, 0, Box(W - 300, 26, 280, 20)},       {1130, 0, Box(W - 292, 54, 264, 160)},
        {1134, 0, Box(W - 300, 234, 280, H - 374)}, {1136, 0, Box(W - 292, 80, 80, 22)},
        {1062, 0, Box(W - 212, 80, 184, 200)},      {1137, 0, Box(W - 292, 108, 80, 22)},
        {1139, 0, Box(W - 212, 108, 92, 22)},       {1141, 0, Box(W - 120, 108, 92, 22)},
        {1138, 0, Box(W - 292, 136, 80, 22)},       {1140, 0, Box(W - 212, 136, 92, 22)},
        {1142, 0, Box(W - 120, 136, 92, 22)},       {1143, 212, Box(W - 77, 164, 49, 22)},
        {1135, 0, Box(W - 300, 234, 280, H - 374)}, {1028, 0, Box(30, H - 165, pos, 12)},
        {1129, 0, Box(W - 430, H - 153, 110, 20)},  {1121, 0, Box(8, H - 138, pos + 39, 128)},
        {1122, 197, Box(W - 280, H - 133, 29, 23)}, {1123, 200, Box(W - 280, H - 133, 29, 23)},
        {1124, 198, Box(W - 247, H - 133, 29, 23)}, {1034, 199, Box(W - 214, H - 133, 29, 23)},
        {1126, 203, Box(W - 181, H - 133, 29, 23)}, {1125, 204, Box(W - 148, H - 133, 29, 23)},
        {1128, 201, Box(W - 115, H - 133, 29, 23)}, {1127, 202, Box(W - 82, H - 133, 29, 23)},
        {1033, 0, Box(W - 300, H - 100, 108, 200)}, {1027, 196, Box(W - 186, H - 100, 49, 22)},
        {1032, 195, Box(W - 122, H - 100, 49, 22)}, {1031, 207, Box(W - 69, H - 100, 49, 22)},
        {1026, 153, Box(W - 167, H - 55, 28, 30)},  {1025, 0, Box(W - 139, H - 47, 59, 12)},
        {1000, 171, Box(W - 75, H - 75, 55, 55)},
    };
    std::vector<ControlPlacement> out;
    for (const auto& r : rows)
        out.push_back(ControlPlacement{r.id, r.bitmap, r.rect, r.id != 1032});
    return out;
}

RECT PlaybackVideoArea(const RECT& client, bool fullScreen) {
    if (fullScreen)
        return RECT{0, 0, client.right - client.left, client.bottom - client.top};
    return RECT{client.left + 30, client.top + 30, client.right - 320, client.bottom - 170};
}

int LayoutPlaybackScreens(const RECT& area, int first, int count, RECT rects[PLAYBACK_SCREEN_COUNT],
                          int shown[PLAYBACK_SCREEN_COUNT]) {
    for (int k = 0; k < PLAYBACK_SCREEN_COUNT; ++k)
        shown[k] = 0;
    const int left = area.left, top = area.top, right = area.right, bottom = area.bottom;
    const int aw = right - left, ah = bottom - top;
    std::vector<RECT> cells;
    switch (count) {
        case 1:
        case 4:
        case 9:
        case 16: {
            int n = count == 1 ? 1 : count == 4 ? 2 : count == 9 ? 3 : 4;
            for (int i = 0; i < count; ++i) {
                int c = i % n, r = i / n;
                int l = left + aw / n * c, t = top + ah / n * r;
                int rr = c == n - 1 ? right : l + aw / n;
                int bb = r == n - 1 ? bottom : t + ah / n;
                cells.push_back(RECT{l, t, rr, bb});
            }
            break;
        }
        case 6: {
            int x1 = left + aw / 3, x2 = left + 2 * aw / 3, y1 = top + ah / 3, y2 = top + 2 * ah / 3;
            cells = {RECT{left, top, x2, y2},    RECT{x2, top, right, y1}, RECT{x2, y1, right, y2},
                     RECT{left, y2, x1, bottom}, RECT{x1, y2, x2, bottom}, RECT{x2, y2, right, bottom}};
            break;
        }
        case 8: {
            int qw = aw / 4, qh = ah / 4;
            int x3 = left + 3 * aw / 4, y3 = top + 3 * ah / 4;
            cells = {RECT{left, top, x3, y3},
                     RECT{x3, top, right, top + qh},
                     RECT{x3, top + qh, right, top + 2 * qh},
                     RECT{x3, top + 2 * qh, right, y3},
                     RECT{left, y3, left + qw, bottom},
                     RECT{left + qw, y3, left + 2 * qw, bottom},
                     RECT{left + 2 * qw, y3, x3, bottom},
                     RECT{x3, y3, right, bottom}};
            break;
        }
        default:
            return 0;
    }
    int placed = 0;
    for (size_t i = 0; i < cells.size(); ++i) {
        int k = first + static_cast<int>(i);
        if (k < 0 || k >= PLAYBACK_SCREEN_COUNT)
            break;
        rects[k] = cells[i];
        shown[k] = 1;
        ++placed;
    }
    return placed;
}

std::vector<int> PlaybackScreenCounts(int maxScreens) {
    std::vector<int> counts;
    for (int n : {1, 4, 6, 8, 9, 16, 25, 36, 49, 64}) {
        if (maxScreens >= n)
            counts.push_back(n);
    }
    return counts;
}
