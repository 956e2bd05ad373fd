#include "tools/dvrsim/time_mark.h"

namespace dvrsim {

namespace {

// The bit a cell holds: rows 0 and 1 the time's high and low halves, row 2 the low half's complement.
bool CellBit(uint32_t time, int row, int column) {
    const int bit = kTimeMarkColumns - 1 - column;
    if (row == 0)
        return ((time >> (16 + bit)) & 1u) != 0;
    const bool low = ((time >> bit) & 1u) != 0;
    return row == 1 ? low : !low;
}

}  // namespace

void DrawTimeMark(uint8_t* luma, int stride, int width, int height, uint32_t time) {
    const int band = static_cast<int>(height * kTimeMarkHeight);
    for (int y = 0; y < band && y < height; ++y) {
        const int row = y * kTimeMarkRows / band;
        uint8_t* line = luma + static_cast<long>(y) * stride;
        for (int x = 0; x < width; ++x) {
            const int column = x * kTimeMarkColumns / width;
            line[x] = CellBit(time, row, column) ? kTimeMarkLight : kTimeMarkDark;
        }
    }
}

int64_t ReadTimeMark(const std::function<int(double x, double y)>& brightness) {
    uint32_t rows[kTimeMarkRows] = {};
    for (int row = 0; row < kTimeMarkRows; ++row) {
        const double y = (row + 0.5) / kTimeMarkRows * kTimeMarkHeight;
        for (int column = 0; column < kTimeMarkColumns; ++column) {
            const double x = (column + 0.5) / kTimeMarkColumns;
            rows[row] = (rows[row] << 1) | (brightness(x, y) >= 128 ? 1u : 0u);
        }
    }
    if ((rows[1] ^ rows[2]) != 0xFFFFu)
        return -1;
    return static_cast<int64_t>((rows[0] << 16) | rows[1]);
}

int64_t ReadTimeMarkLuma(const uint8_t* luma, int stride, int width, int height) {
    if (luma == nullptr || width <= 0 || height <= 0)
        return -1;
    return ReadTimeMark([&](double x, double y) {
        const int px = static_cast<int>(x * width), py = static_cast<int>(y * height);
        return static_cast<int>(luma[static_cast<long>(py) * stride + px]);
    });
}

}  // namespace dvrsim
