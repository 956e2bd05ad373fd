// Fuzz target: parameter, list and playback replies dispatched to a logged-in DVR of four channels with
// both dialogs open, so every parser reaches its records, its lists and its notifications.

#include <cstdlib>
#include <cstring>

#include "core/system_settings.h"
#include "dvr/dvr_device.h"
#include "dvr/dvr_messages.h"
#include "dvr/dvr_parsers.h"
#include "dvr/dvr_protocol.h"
#include "dvr/dvr_session.h"
#include "dvr/receive_path.h"
#include "dvr/session_hooks.h"
#include "platform/system/window_post.h"
#include "tests/dvr/fuzz/fuzz_device.h"
#include "tests/dvr/fuzz/fuzz_target.h"

namespace {

HWND const kDialog = reinterpret_cast<HWND>(uintptr_t{5});

// Delivers nothing: a payload is released as the receiving dialog would.
BOOL DropPost(HWND, UINT, WPARAM, LPARAM lParam, PostPayloadDeleter deleter) {
    if (deleter != nullptr)
        deleter(lParam);
    return TRUE;
}

void InstallHooks() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    SetWindowPostHandler(DropPost);
    DvrSessionHooks hooks;
    hooks.setupDialog = [] { return kDialog; };
    hooks.playbackDialog = [] { return kDialog; };
    hooks.playbackOpen = [] { return true; };
    hooks.storePlaybackState = [](int window, const int32_t*) {
        if (window < 0 || window > 15)
            std::abort();
    };
    SetDvrSessionHooks(&hooks);
}

DVRDevice* FreshDevice() {
    DVRDevice* device = FreshFuzzDevice();
    if (AllocDeviceChannels(device, 4) != 0)
        std::abort();
    g_currentDevice = device;
    return device;
}

}  // namespace

std::vector<std::string> FuzzSeeds() {
    return {
        "131088 240 3 \r\n\r\n131088 3 1 Z3Vlc3QIdXNlcg== \r\n\r\n131088 255 \r\n\r\n",
        "131088 240 2 \r\n\r\n131089 1 0 YQ== (NULL) Desk 3 \r\n\r\n"
        "131089 0 1 129 0 0 0 0 0 0 0 -1 0 0 0 0 0 0 0 0 0 0 0 0 1 \r\n\r\n",
        "131111 host 80 9000 (NULL) 1 2 dQ== (NULL) \r\n\r\n",
        "131113 240 2 \r\n\r\n131113 2 0 C 465\x08GB 57 200\x08GB \r\n\r\n131113 3 2 E 1 1 1 \r\n\r\n"
        "131113 255 \r\n\r\n",
        "131114 240 1 \r\n\r\n131114 1 0 English \r\n\r\n131114 255 \r\n\r\n",
        "131091 1 Gate 1 3 5 6 255 1 2 3 Sans 0 0 0 0 0 4 5 6 (NULL) \r\n\r\n131093 1 10 20 30 40 \r\n\r\n",
        "131095 0 3 1 2 3 \r\n\r\n131109 3 8 1 2 3 4 5 6 7 8 \r\n\r\n131105 2 8 -1 0 0 0 0 0 0 1 \r\n\r\n",
        "131097 1 2 1 3 COM1 4800 8 1 2 -2147483648 \r\n\r\n131099 1 2 1 10 2 20 \r\n\r\n",
        "131101 2 4 1 2500 \r\n\r\n131121 2 1 3 500 \r\n\r\n131103 1 8000 16 1 1 \r\n\r\n131107 1 2 15 "
        "\r\n\r\n",
        "131085 240 2 \r\n\r\n131085 2 0 /rec/a.avi 1 2 \r\n\r\n131085 255 \r\n\r\n",
        "131116 0 5 \r\n\r\n131118 1 2 4 FF 0 1 AB \r\n\r\n131119 3 9 1 6 100 200 150 1 \r\n\r\n",
    };
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InstallHooks();
    DVRDevice* device = FreshDevice();
    DispatchDvrMessage(reinterpret_cast<const char*>(data), device, nullptr, static_cast<int>(size));
    SplitReceivedData(CONN_COMMAND, static_cast<int>(size), data, device, nullptr);
    g_currentDevice = nullptr;
    FreeFuzzDevice(device);
    return 0;
}
