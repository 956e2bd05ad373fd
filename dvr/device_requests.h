#pragma once

// Requests of a DVR's device-wide settings: system parameters, user accounts, network parameters, and
// the disk and language lists. Each formats one request and sends it on the device's command connection
// (the request relay passes g_currentDevice); each returns what the send returned, or -1 when nothing
// was sent. Set requests read the device's records: the system and network records in place, the user
// account from the newest user list handed to the UI thread (dvr/handed_list.h).

struct DVRDevice;

int SendSetSystemParams(DVRDevice* device);
int SendGetUserList(DVRDevice* device);
int SendGetUserParams(DVRDevice* device, int index, int part);
// Part 0: name, password, description and rights; part 1: the three channel bitmaps as 24 integers.
// -1 without sending for another part, an index outside the user list, or a name or password too long
// for its field.
int SendSetUserParams(DVRDevice* device, int part, int index);
int SendGetNetworkParams(DVRDevice* device);
// -1 without sending when there is no network record yet or a WAN credential is too long for its field.
int SendSetNetworkParams(DVRDevice* device);
int SendGetDiskList(DVRDevice* device);
int SendGetLanguageList(DVRDevice* device);
