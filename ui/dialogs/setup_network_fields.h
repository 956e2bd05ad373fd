#pragma once

// The Network page's plain rule: how what its controls hold becomes the DVR's network record.

#include <QString>
#include <optional>

#include "dvr/dvr_records.h"

// What the Network page's controls hold when Set is pressed.
struct SetupNetworkControls {
    QString hostName;
    QString httpPort;  // the edits' texts
    QString listenPort;
    QString mailTo;
    int wanEnabled = 0;
    std::optional<int> wanServer;  // the server list's selected item data; empty without a selection
    QString wanUser;
    QString wanPassword;
};

// Results of CollectSetupNetwork.
constexpr int SETUP_NETWORK_CHANGED = 0;
constexpr int SETUP_NETWORK_UNCHANGED = -1;

// Builds the DVR's network record from the controls: texts cut to 255 characters, ports as the edits'
// leading numbers (0 when none; not range checked), the WAN switch, and the server (a list without a
// selection keeps the record's value). SETUP_NETWORK_UNCHANGED when all eight fields equal *record (left
// untouched); else SETUP_NETWORK_CHANGED with them written into *record and *restart set to 1 when a port
// or the mail-to address changed, else 0.
[[nodiscard]] int CollectSetupNetwork(const SetupNetworkControls& controls, DVRNetworkParams* record,
                                      int* restart);
