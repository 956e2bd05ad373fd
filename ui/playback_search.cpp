#include "ui/playback_search.h"

#include "dvr/dvr_records.h"

void DayBarColours(const DayRecordMap& map, COLORREF hours[24]) {
    for (int h = 0; h < 24; ++h) {
        COLORREF colour = DAY_BAR_EMPTY;
        for (int m = h * 60; m < h * 60 + 60; ++m) {
            uint8_t bits = static_cast<uint8_t>(map.minutes[m / 4] >> (2 * (m % 4)));
            if (bits & 2) {
                colour = DAY_BAR_ALARM;
                break;
            }
            if (bits & 1)
                colour = DAY_BAR_RECORDED;
        }
        hours[h] = colour;
    }
}

bool ChannelFromFileName(const char16_t* name, int length, int* channel) {
    int backslash = -1, underscore = -1;
    for (int i = 0; i < length && name[i] != 0; ++i) {
        if (name[i] == u'\\')
            backslash = i;
        else if (name[i] == u'_')
            underscore = i;
    }
    if (backslash < 0 || underscore < 0)
        return false;
    int i = backslash + 3;
    int value = 0;
    int digits = 0;
    // At most 9 digits: a longer run cannot be a channel and would overflow.
    for (; i < length && digits < 9 && name[i] >= u'0' && name[i] <= u'9'; ++i, ++digits)
        value = value * 10 + (name[i] - u'0');
    // No digit there reads as 0: channel -1, which nothing on the screen is attributed to.
    *channel = value - 1;
    return true;
}
