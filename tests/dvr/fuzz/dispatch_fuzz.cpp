// Fuzz target: received command-connection bytes, cut and dispatched as text messages.

#include <cstdlib>
#include <cstring>

#include "core/system_settings.h"
#include "dvr/dvr_device.h"
#include "dvr/dvr_parsers.h"
#include "dvr/dvr_protocol.h"
#include "dvr/dvr_session.h"
#include "dvr/receive_path.h"
#include "tests/dvr/fuzz/fuzz_target.h"

namespace {

DVRDevice* FreshDevice() {
    auto* device = new DVRDevice();
    device->commandSocket = -1;
    device->liveSocket = -1;
    device->playbackSocket = -1;
    return device;
}

void FreeDevice(DVRDevice* device) {
    delete device;
}

}  // namespace

std::vector<std::string> FuzzSeeds() {
    return {
        "131073 67108864 \r\n\r\n",
        "131074 1000 0 0 63 \r\n\r\n131074 1000 1 0 0 \r\n\r\n",
        "131075 10 \r\n\r\n",
        "131077 240 3 \r\n\r\n131077 3 0 Gate\x08"
        "A \r\n\r\n131077 3 2 (NULL) \r\n\r\n131077 255 \r\n\r\n",
        "131086 C Rec\x08"
        "Dir (NULL) 1 1 0 5 0 1 0 \r\n\r\n",
        "131077 240 2 \r\n\r\n131126 0 65536 \r\n\r\n",
        "131073\r\n\r\n67108864 \r\n\r\n",
    };
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DVRDevice* device = FreshDevice();
    // Whole, as one message, and through the framing of the command connection.
    DispatchDvrMessage(reinterpret_cast<const char*>(data), device, nullptr, static_cast<int>(size));
    FreeDevice(device);
    device = FreshDevice();
    SplitReceivedData(CONN_COMMAND, static_cast<int>(size), data, device, nullptr);
    FreeDevice(device);
    return 0;
}
