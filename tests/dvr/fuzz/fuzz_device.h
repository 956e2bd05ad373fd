#pragma once

// A session record without threads or connections for the fuzz targets, and its release.

#include <cstdlib>

#include "core/system_settings.h"
#include "dvr/dvr_device.h"
#include "dvr/dvr_records.h"
#include "dvr/dvr_session.h"

inline DVRDevice* FreshFuzzDevice() {
    auto* device = new DVRDevice();
    device->commandSocket = -1;
    device->liveSocket = -1;
    device->playbackSocket = -1;
    return device;
}

// The per-run records are owned by the device and go with it.
inline void FreeFuzzDevice(DVRDevice* device) {
    delete device;
}
