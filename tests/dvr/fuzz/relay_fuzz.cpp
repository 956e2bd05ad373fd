// Fuzz target: bytes from the WAN server, cut at terminators and dispatched as relay messages, and the
// same bytes read as a LAN discovery reply.

#include <cstring>

#include "core/tarvik_app.h"
#include "core/text_helpers.h"
#include "dvr/dvr_protocol.h"
#include "dvr/lan_discovery.h"
#include "dvr/wan_client.h"
#include "tests/dvr/fuzz/fuzz_target.h"

std::vector<std::string> FuzzSeeds() {
    return {
        "262146 5 -7\r\n\r\n262146 6 0\r\n\r\n",
        "262147 1\r\n\r\n262148\r\n\r\n",
        "262162 240 3\r\n\r\n262162 0 0 Gate 0 0 10.0.0.1 9000 10.0.0.9 4 0\r\n\r\n"
        "262162 2 0 Yard 0 0 10.0.0.2 9001 10.0.0.8 5 1\r\n\r\n262162 255\r\n\r\n",
        "262162 240 -1\r\n\r\n262162 240 0 Gate 0 0 h 1 h 0 0\r\n\r\n262162 255\r\n\r\n",
        "131123 0 0 0 Front\x08"
        "Door (NULL) 0 9000\r\n\r\n",
    };
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A list's end merges into the tree file: point it at a folder that does not exist, so nothing is
    // written.
    theApp.m_strDataDir = QStringLiteral("/nonexistent-vistal-fuzz/");
    theApp.m_bLanMode = 0;
    RelaySession session;
    const char* text = reinterpret_cast<const char*>(data);
    int left = static_cast<int>(size);
    int end;
    while ((end = FindBytes(MESSAGE_TERMINATOR, MESSAGE_TERMINATOR_LENGTH, left, text)) >= 0) {
        static_cast<void>(DispatchRelayMessage(&session, text, end));
        text += end + MESSAGE_TERMINATOR_LENGTH;
        left -= end + MESSAGE_TERMINATOR_LENGTH;
    }
    static_cast<void>(DispatchRelayMessage(&session, text, left));
    DiscoveryReply reply;
    static_cast<void>(
        ParseDiscoveryReply(reinterpret_cast<const char*>(data), static_cast<int>(size), &reply));
    return 0;
}
