#include <cstdlib>

#include "core/system_settings.h"
#include "core/window_messages.h"
#include "dvr/dvr_device.h"
#include "dvr/dvr_fields.h"
#include "dvr/dvr_messages.h"
#include "dvr/dvr_parsers.h"
#include "dvr/reply_notify.h"

int ParseSystemParams(const char* text, int length, DVRDevice* device, HWND) {
    if ((device->flags.load() & DEVICE_FLAG_SYSTEM_PARAMS) != 0)
        return 0;
    FieldReader reader(text, length);
    int32_t id = 0;
    char disks[32];
    char recordDir[TEXT_FIELD_SIZE];
    char snapshotPath[TEXT_FIELD_SIZE];
    int32_t values[7];
    if (!reader.Int(&id) || !reader.Token(disks, sizeof disks) ||
        !reader.Token(recordDir, sizeof recordDir) || !reader.Token(snapshotPath, sizeof snapshotPath))
        return -1;
    for (int32_t& value : values) {
        if (!reader.Int(&value))
            return -1;
    }
    if (device->systemParams == nullptr) {
        device->systemParams.reset(static_cast<SystemSettings*>(std::calloc(1, sizeof(SystemSettings))));
        if (device->systemParams == nullptr)
            return -1;
    }
    SystemSettings* params = device->systemParams.get();
    DecodeTextField(disks, params->RecordDisks, 32);
    DecodeTextField(recordDir, params->RecordDir, 256);
    DecodeTextField(snapshotPath, params->SnapshotPath, 256);
    params->DiskFullAction = values[0];
    params->VideoStandard = values[1];
    params->MuxMode = values[2];
    params->ScrollInterval = values[3];
    params->Language = values[4];
    params->EnableBeep = values[5];
    params->Autorun = values[6];
    // Set after the record is written, so that whoever sees the flag sees the values.
    device->flags.fetch_or(DEVICE_FLAG_SYSTEM_PARAMS);
    device->lastRequest.store(0);
    PostSetupReply(SETUP_REPLY_SYSTEM, 0);
    return 0;
}
