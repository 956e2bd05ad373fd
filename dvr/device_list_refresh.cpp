#include "dvr/device_list_refresh.h"

#include "core/tarvik_app.h"
#include "dvr/device_tree_merge.h"
#include "dvr/lan_discovery.h"
#include "dvr/wan_client.h"
#include "platform/libav/libav_on_demand.h"
#include "platform/system/clock.h"

namespace {

void RefreshFromWanServer() {
    RelaySession* session = g_relaySession;
    if (session == nullptr || session->socket < 0)
        return;
    session->flags &= ~RELAY_FLAG_LIST_COMPLETE;
    static_cast<void>(SendRelayGetDevices(session));
    // The list's last message merges it inside the dispatch; a list that does not end in time merges
    // nothing.
    static_cast<void>(
        ReceiveRelayMessages(session, RELAY_FLAG_LIST_COMPLETE, MonotonicMs() + RELAY_LIST_DEADLINE_MS));
}

void RefreshFromLan() {
    DeviceList found;
    if (DiscoverDevices(&found) != 0)
        return;
    // With no replies the file is still rewritten from its own DVR records.
    static_cast<void>(MergeDeviceTreeFile(found.Head()));
}

}  // namespace

void RefreshDeviceList() {
    // The video libraries load on a thread of their own while this thread waits for the DVRs' answers, so
    // that neither the window's start nor the first picture waits for them.
    static_cast<void>(StartLibavLoading());
    if (theApp.m_bLanMode != 0)
        RefreshFromLan();
    else
        RefreshFromWanServer();
}
