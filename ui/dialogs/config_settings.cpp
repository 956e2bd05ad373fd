#include "ui/dialogs/config_settings.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

template <size_t N>
void CopyText(char16_t (&field)[N], const QString& text, qsizetype limit) {
    std::memset(field, 0, sizeof field);
    qsizetype n = text.size() < limit ? text.size() : limit;
    std::memcpy(field, text.utf16(), static_cast<size_t>(n) * sizeof(char16_t));
}

template <size_t N>
QString FieldText(const char16_t (&field)[N]) {
    size_t n = 0;
    while (n < N && field[n] != 0)
        ++n;
    return QString::fromUtf16(field, static_cast<qsizetype>(n));
}

}  // namespace

int ParseLeadingInt(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Counted in 64 bits and held at the 32-bit limits, so no input can overflow it.
    int64_t value = 0;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > INT32_MAX)
            value = static_cast<int64_t>(INT32_MAX) + 1;
        ++i;
    }
    if (negative)
        value = -value;
    return static_cast<int>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

int ParseScrollInterval(const QString& text) {
    return std::clamp(ParseLeadingInt(text), CONFIG_SCROLL_MIN, CONFIG_SCROLL_MAX);
}

int CollectConfigSettings(const ConfigControls& controls, SystemSettings* settings, ConfigChange* change) {
    if (controls.recordDisks.isEmpty())
        return CONFIG_NO_DISK;
    SystemSettings collected;
    std::memset(&collected, 0, sizeof collected);
    CopyText(collected.RecordDisks, controls.recordDisks, CONFIG_RECORD_DISKS_MAX);
    CopyText(collected.RecordDir, controls.recordDir, 255);
    CopyText(collected.SnapshotPath, controls.snapshotPath, 255);
    // The snapshot code joins folder and file name directly, so the folder must end in a separator. An
    // empty edit becomes "\" as system.ini's loader makes it at the next start, so that the setting in
    // use now is the one in use then.
    EndPathWithBackslash(collected.SnapshotPath, 256);
    collected.DiskFullAction = controls.diskFullAction ? 1 : 0;
    collected.PopupMessage = controls.popupMessage ? 1 : 0;
    collected.VideoStandard = controls.videoStandard;
    collected.MuxMode = controls.muxMode;
    collected.Language = controls.language;
    collected.ScrollInterval = ParseScrollInterval(controls.scrollInterval);
    collected.EnableBeep = controls.enableBeep ? 1 : 0;
    collected.Autorun = controls.autorun ? 1 : 0;
    collected.EnableUpdate = controls.enableUpdate ? 1 : 0;
    collected.EnableRGB = controls.enableRGB ? 1 : 0;

    const SystemSettings& s = *settings;
    const SystemSettings& c = collected;
    if (std::memcmp(c.RecordDisks, s.RecordDisks, sizeof c.RecordDisks) == 0 &&
        std::memcmp(c.RecordDir, s.RecordDir, sizeof c.RecordDir) == 0 &&
        std::memcmp(c.SnapshotPath, s.SnapshotPath, sizeof c.SnapshotPath) == 0 &&
        c.DiskFullAction == s.DiskFullAction && c.PopupMessage == s.PopupMessage &&
        c.VideoStandard == s.VideoStandard && c.MuxMode == s.MuxMode && c.Language == s.Language &&
        c.ScrollInterval == s.ScrollInterval && c.EnableBeep == s.EnableBeep && c.Autorun == s.Autorun &&
        c.EnableUpdate == s.EnableUpdate && c.EnableRGB == s.EnableRGB)
        return CONFIG_UNCHANGED;

    change->restart =
        c.VideoStandard != s.VideoStandard || c.MuxMode != s.MuxMode || c.EnableRGB != s.EnableRGB ? 1 : 0;
    change->language = c.Language != s.Language ? 1 : 0;
    SystemSettings& out = *settings;
    std::memcpy(out.RecordDisks, c.RecordDisks, sizeof c.RecordDisks);
    std::memcpy(out.RecordDir, c.RecordDir, sizeof c.RecordDir);
    std::memcpy(out.SnapshotPath, c.SnapshotPath, sizeof c.SnapshotPath);
    out.DiskFullAction = c.DiskFullAction;
    out.PopupMessage = c.PopupMessage;
    out.VideoStandard = c.VideoStandard;
    out.MuxMode = c.MuxMode;
    out.Language = c.Language;
    out.ScrollInterval = c.ScrollInterval;
    out.EnableBeep = c.EnableBeep;
    out.Autorun = c.Autorun;
    out.EnableUpdate = c.EnableUpdate;
    out.EnableRGB = c.EnableRGB;
    return CONFIG_CHANGED;
}

void SaveConfigSettings(CIniFile& ini, const SystemSettings& s) {
    const QString section = QStringLiteral("SYSTEM");
    ini.WriteString(section, QStringLiteral("RecordDisks"), FieldText(s.RecordDisks));
    ini.WriteString(section, QStringLiteral("RecordDir"), FieldText(s.RecordDir));
    ini.WriteString(section, QStringLiteral("SnapshotPath"), FieldText(s.SnapshotPath));
    const struct {
        const char* key;
        int value;
    } integers[] = {
        {"DiskFullAction", s.DiskFullAction}, {"PopupMessage", s.PopupMessage}, {"Language", s.Language},
        {"ScrollInterval", s.ScrollInterval}, {"EnableBeep", s.EnableBeep},     {"Autorun", s.Autorun},
        {"EnableUpdate", s.EnableUpdate},     {"EnableRGB", s.EnableRGB},
    };
    for (const auto& entry : integers)
        ini.WriteInt(section, QString::fromLatin1(entry.key), entry.value);
}
