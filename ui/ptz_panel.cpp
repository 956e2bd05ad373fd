#include "ui/ptz_panel.h"

#include <climits>

namespace {

struct ButtonCommand {
    UINT controlId;
    int command;
};

const ButtonCommand kMotionButtons[] = {
    {1020, PTZ_TILT_UP},    {1022, PTZ_TILT_DOWN},  {1023, PTZ_PAN_LEFT}, {1024, PTZ_PAN_RIGHT},
    {1008, PTZ_FOCUS_NEAR}, {1009, PTZ_FOCUS_FAR},  {1010, PTZ_ZOOM_IN},  {1011, PTZ_ZOOM_OUT},
    {1012, PTZ_IRIS_OPEN},  {1013, PTZ_IRIS_CLOSE},
};

const ButtonCommand kPresetButtons[] = {
    {1017, PTZ_PRESET_SET},
    {1018, PTZ_PRESET_CLEAR},
    {1019, PTZ_PRESET_GOTO},
};

template <size_t N>
int CommandOf(const ButtonCommand (&table)[N], UINT controlId) {
    for (const ButtonCommand& entry : table) {
        if (entry.controlId == controlId)
            return entry.command;
    }
    return 0;
}

}  // namespace

int PtzMotionCommandOfButton(UINT controlId) {
    return CommandOf(kMotionButtons, controlId);
}

int PtzPresetCommandOfButton(UINT controlId) {
    return CommandOf(kPresetButtons, controlId);
}

PtzWords PackPtzWords(int command, int channel, int parameter1, int parameter2) {
    auto half = [](int value) { return static_cast<uint32_t>(value) & 0xFFFFu; };
    return PtzWords{half(command) << 16 | half(channel), half(parameter2) << 16 | half(parameter1)};
}

int ParsePresetNumber(const QString& text) {
    int i = 0;
    const int n = static_cast<int>(text.size());
    while (i < n && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    long long value = 0;
    for (; i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;  // held, so the loop cannot overflow
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

int PresetNumberUp(int value) {
    return value >= PTZ_PRESET_MAX ? PTZ_PRESET_MAX : value + 1;
}

int PresetNumberDown(int value) {
    return value >= 2 ? value - 1 : 1;
}

int TogglePtzAutoScanCommand(int& autoScanOn) {
    int command = autoScanOn ? PTZ_AUTOSCAN_STOP : PTZ_AUTOSCAN_START;
    autoScanOn = autoScanOn ? 0 : 1;
    return command;
}
