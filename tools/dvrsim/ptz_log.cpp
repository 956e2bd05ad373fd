#include "tools/dvrsim/ptz_log.h"

#include "tools/dvrsim/sim_settings.h"

namespace dvrsim {

namespace {

constexpr int kPtz = 0x10008;
constexpr int kSetPresets = 0x1001C;
constexpr int kAutoScan = 0x1002B;

// Command codes of a PTZ request; the preset commands carry the preset number.
const char* const kPtzNames[] = {
    nullptr,        "tilt up",     "tilt down", "pan left",        "pan right",     "focus near",
    "focus far",    "zoom in",     "zoom out",  "iris open",       "iris close",    "preset set",
    "preset clear", "preset goto", "stop",      "auto-scan start", "auto-scan stop"};
constexpr int kPtzNameCount = static_cast<int>(sizeof(kPtzNames) / sizeof(kPtzNames[0]));
constexpr int kFirstPresetCommand = 11;
constexpr int kLastPresetCommand = 13;

std::string Channel(const std::vector<std::string>& fields) {
    return "channel " + std::to_string(SimFieldInt(fields, 1));
}

std::string DescribePtz(const std::vector<std::string>& fields) {
    int command = SimFieldInt(fields, 2);
    std::string line = "PTZ " + Channel(fields) + ": ";
    if (command <= 0 || command >= kPtzNameCount)
        return line + "command " + std::to_string(command);
    line += kPtzNames[command];
    if (command >= kFirstPresetCommand && command <= kLastPresetCommand)
        line += " " + std::to_string(SimFieldInt(fields, 3));
    return line;
}

// The tour's steps follow the channel and their count: enabled flag and stay seconds per preset.
std::string DescribeTour(const std::vector<std::string>& fields) {
    std::string steps;
    int count = SimFieldInt(fields, 2);
    for (int i = 0; i < count && 4 + 2 * static_cast<size_t>(i) < fields.size(); ++i) {
        if (SimFieldInt(fields, 3 + 2 * static_cast<size_t>(i)) == 0)
            continue;
        steps += (steps.empty() ? " preset " : ", preset ") + std::to_string(i + 1) + " for " +
                 std::to_string(SimFieldInt(fields, 4 + 2 * static_cast<size_t>(i))) + " s";
    }
    return "auto-scan tour " + Channel(fields) + ":" + (steps.empty() ? std::string(" no presets") : steps);
}

}  // namespace

std::string DescribeCameraControl(const std::vector<std::string>& fields) {
    switch (SimFieldInt(fields, 0)) {
        case kPtz:
            return DescribePtz(fields);
        case kAutoScan:
            return "auto-scan " + Channel(fields) + ": mode " + std::to_string(SimFieldInt(fields, 2)) +
                   (SimFieldInt(fields, 3) != 0 ? " on" : " off");
        case kSetPresets:
            return DescribeTour(fields);
        default:
            return {};
    }
}

}  // namespace dvrsim
