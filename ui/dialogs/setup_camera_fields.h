#pragma once

// What the camera page's Set and All Set write into a channel's record, as plain rules on the controls'
// values, and the reversal of PTZ commands by a channel's option word.

#include <QString>
#include <cstdint>

#include "dvr/dvr_device.h"

constexpr int AUTOSCAN_STEPS = 32;
constexpr uint32_t CAMERA_SPEED_MASK = 0x00FFFFFFu;
constexpr uint32_t CAMERA_REVERSE_BITS =
    CAMERA_REVERSE_TILT | CAMERA_REVERSE_PAN | CAMERA_REVERSE_FOCUS | CAMERA_REVERSE_ZOOM;

// The camera page's controls. Lists give their selected item's data, -1 without a selection; the port
// list its selected item's text (portSelected false without a selection).
struct CameraControls {
    int type = -1;
    int protocol = -1;
    QString address;
    bool portSelected = false;
    QString port;
    int baudRate = -1;
    int dataBits = -1;
    int parity = -1;
    int stopBits = -1;
    int speed = 0;
    uint32_t reverseBits = 0;  // CAMERA_REVERSE_* of the checked boxes
    struct Step {
        bool enabled = false;
        QString staySeconds;
    };
    Step steps[AUTOSCAN_STEPS];
};

// Writes every camera and auto-scan value into the record when any differs: 0 when written, -1 when the
// record already held them. A list without a selection keeps the record's value.
[[nodiscard]] int CollectCameraInto(const CameraControls& controls, DVRChannel* record);

// The command a PTZ request carries for a channel with the given option word: each set reversal bit
// swaps its pair of directions (tilt up/down, pan left/right, focus near/far, zoom in/out).
int ReversedPtzCommand(uint32_t options, int command);

// Sends a PTZ command to a channel of g_currentDevice, reversed by the channel's saved option word:
// what the send returned, -1 when nothing was sent (no device, channel out of range).
int SendPtzCommand(int command, int channel, int param1, int param2);
