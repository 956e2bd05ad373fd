#pragma once

// The refresh of the list of DVRs after every successful login, before the device tree is loaded.

// UI thread only; called after CheckLogin returned LOGIN_OK (start-up auto-login, login button, user
// switch). LAN mode: a discovery round (blocks up to about 0.6 s) whose DVRs are merged into tree.dat; when
// the reply socket cannot be bound or the request cannot be sent, nothing is merged. WAN mode: asks the
// connected WAN server for the operator's DVRs and waits for the whole list (blocks at most
// RELAY_LIST_DEADLINE_MS); the list's end merges it into treew.dat. Without a WAN server connection, or
// when the server goes silent, closes the connection or runs out of time before the list ends, nothing is
// merged.
void RefreshDeviceList();
