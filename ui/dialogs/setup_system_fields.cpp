#include "ui/dialogs/setup_system_fields.h"

#include <cstring>

#include "dvr/device_list_node.h"
#include "ui/dialogs/config_settings.h"

int CollectSetupSystem(const SetupSystemControls& controls, SystemSettings* record, int* restart) {
    if (controls.recordDisks.isEmpty())
        return SETUP_SYSTEM_NO_DISK;
    const SystemSettings& r = *record;
    SystemSettings c = r;
    // The field holds 31 letters and its end; more checked disks than that are not taken.
    SetNodeText(c.RecordDisks, controls.recordDisks);
    SetNodeText(c.RecordDir, controls.recordDir);
    SetNodeText(c.SnapshotPath, controls.snapshotPath);
    c.DiskFullAction = controls.diskFullAction ? 1 : 0;
    c.VideoStandard = controls.videoStandard.value_or(r.VideoStandard);
    c.MuxMode = controls.muxMode.value_or(r.MuxMode);
    c.Language = controls.language.value_or(r.Language);
    c.ScrollInterval = ParseScrollInterval(controls.scrollInterval);
    c.EnableBeep = controls.enableBeep ? 1 : 0;
    c.Autorun = controls.autorun ? 1 : 0;
    c.EnableUpdate = controls.enableUpdate ? 1 : 0;

    // c started as a copy of the record, so a whole-record comparison compares exactly the page's fields.
    if (std::memcmp(&c, &r, sizeof c) == 0)
        return SETUP_SYSTEM_UNCHANGED;
    *restart = std::memcmp(c.RecordDisks, r.RecordDisks, sizeof c.RecordDisks) != 0 ||
                       c.VideoStandard != r.VideoStandard || c.MuxMode != r.MuxMode
                   ? 1
                   : 0;
    *record = c;
    return SETUP_SYSTEM_CHANGED;
}
