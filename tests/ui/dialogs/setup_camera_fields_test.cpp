// The camera page's rules without windows: what Set and All Set write into a channel's record (lists
// without a selection keep the record's value, the port text, the option word, the 32 auto-scan steps)
// and the reversal of PTZ commands by the option word.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "dvr/dvr_records.h"
#include "ui/dialogs/setup_camera_fields.h"

namespace {

std::unique_ptr<DVRChannel> CameraRecord() {
    auto r = std::make_unique<DVRChannel>();
    r->cameraType = 2;
    r->ptzProtocol = 1;
    r->ptzAddress = 3;
    std::copy_n(u"COM2", 4, r->comPort);
    r->baudRate = 9600;
    r->dataBits = 8;
    r->parity = 0;
    r->stopBits = 0;
    r->ptzOptions = 4 | CAMERA_REVERSE_PAN;
    for (int i = 0; i < AUTOSCAN_STEPS; ++i)
        r->autoScan[i] = AutoScanStep{static_cast<uint8_t>(i % 2), i * 5};
    return r;
}

CameraControls ControlsOf(const DVRChannel& r) {
    CameraControls c;
    c.type = r.cameraType;
    c.protocol = r.ptzProtocol;
    c.address = QString::number(r.ptzAddress);
    c.portSelected = true;
    c.port = QString::fromUtf16(r.comPort);
    c.baudRate = r.baudRate;
    c.dataBits = r.dataBits;
    c.parity = r.parity;
    c.stopBits = r.stopBits;
    c.speed = static_cast<int>(r.ptzOptions & CAMERA_SPEED_MASK);
    c.reverseBits = r.ptzOptions & CAMERA_REVERSE_BITS;
    for (int i = 0; i < AUTOSCAN_STEPS; ++i)
        c.steps[i] =
            CameraControls::Step{r.autoScan[i].enabled != 0, QString::number(r.autoScan[i].staySeconds)};
    return c;
}

bool SameCamera(const DVRChannel& a, const DVRChannel& b) {
    bool steps = true;
    for (int i = 0; i < AUTOSCAN_STEPS; ++i)
        steps = steps && a.autoScan[i].enabled == b.autoScan[i].enabled &&
                a.autoScan[i].staySeconds == b.autoScan[i].staySeconds;
    return steps && a.cameraType == b.cameraType && a.ptzProtocol == b.ptzProtocol &&
           a.ptzAddress == b.ptzAddress && std::memcmp(a.comPort, b.comPort, sizeof(a.comPort)) == 0 &&
           a.baudRate == b.baudRate && a.dataBits == b.dataBits && a.parity == b.parity &&
           a.stopBits == b.stopBits && a.ptzOptions == b.ptzOptions;
}

TEST(SetupCameraFields, Collect) {
    struct Case {
        const char* title;
        void (*edit)(CameraControls&);
        int result;
        void (*expect)(DVRChannel&);
    };
    const Case cases[] = {
        {"unchanged", [](CameraControls&) {}, -1, [](DVRChannel&) {}},
        {"lists without a selection keep the record's values",
         [](CameraControls& c) {
             c.type = c.protocol = c.baudRate = c.dataBits = c.parity = c.stopBits = -1;
         },
         -1, [](DVRChannel&) {}},
        {"port list without a selection keeps the port", [](CameraControls& c) { c.portSelected = false; },
         -1, [](DVRChannel&) {}},
        {"empty port item stores an empty port", [](CameraControls& c) { c.port.clear(); }, 0,
         [](DVRChannel& r) { std::fill(std::begin(r.comPort), std::end(r.comPort), u'\0'); }},
        {"port COM12", [](CameraControls& c) { c.port = "COM12"; }, 0,
         [](DVRChannel& r) { std::copy_n(u"COM12", 5, r.comPort); }},
        {"address as typed, text gives 0", [](CameraControls& c) { c.address = "x1"; }, 0,
         [](DVRChannel& r) { r.ptzAddress = 0; }},
        {"speed and reversal bits make the option word",
         [](CameraControls& c) {
             c.speed = 5;
             c.reverseBits = CAMERA_REVERSE_TILT | CAMERA_REVERSE_ZOOM;
         },
         0, [](DVRChannel& r) { r.ptzOptions = 5 | CAMERA_REVERSE_TILT | CAMERA_REVERSE_ZOOM; }},
        {"serial line chosen",
         [](CameraControls& c) {
             c.baudRate = 2400;
             c.dataBits = 7;
             c.parity = 2;
             c.stopBits = 1;
         },
         0,
         [](DVRChannel& r) {
             r.baudRate = 2400;
             r.dataBits = 7;
             r.parity = 2;
             r.stopBits = 1;
         }},
        {"step 4 enabled with 10 seconds",
         [](CameraControls& c) {
             c.steps[4] = CameraControls::Step{true, "10"};
         },
         0,
         [](DVRChannel& r) {
             r.autoScan[4] = AutoScanStep{1, 10};
         }},
        {"non-numeric stay time gives 0", [](CameraControls& c) { c.steps[31].staySeconds = "soon"; }, 0,
         [](DVRChannel& r) { r.autoScan[31].staySeconds = 0; }},
    };
    for (const Case& c : cases) {
        auto record = CameraRecord();
        auto expected = CameraRecord();
        CameraControls controls = ControlsOf(*record);
        c.edit(controls);
        c.expect(*expected);
        EXPECT_EQ(CollectCameraInto(controls, record.get()), c.result) << c.title;
        EXPECT_TRUE(SameCamera(*record, *expected)) << c.title;
        EXPECT_EQ(CollectCameraInto(controls, record.get()), -1) << c.title;
    }
    EXPECT_EQ(CollectCameraInto(CameraControls{}, nullptr), -1);
}

TEST(SetupCameraFields, ReversalSwapsEachPair) {
    struct Case {
        uint32_t options;
        int command;
        int sent;
    };
    const Case cases[] = {
        {0, PTZ_TILT_UP, PTZ_TILT_UP},
        {CAMERA_REVERSE_TILT, PTZ_TILT_UP, PTZ_TILT_DOWN},
        {CAMERA_REVERSE_TILT, PTZ_TILT_DOWN, PTZ_TILT_UP},
        {CAMERA_REVERSE_TILT, PTZ_PAN_LEFT, PTZ_PAN_LEFT},
        {CAMERA_REVERSE_PAN, PTZ_PAN_LEFT, PTZ_PAN_RIGHT},
        {CAMERA_REVERSE_PAN, PTZ_PAN_RIGHT, PTZ_PAN_LEFT},
        {CAMERA_REVERSE_FOCUS, PTZ_FOCUS_NEAR, PTZ_FOCUS_FAR},
        {CAMERA_REVERSE_ZOOM, PTZ_ZOOM_OUT, PTZ_ZOOM_IN},
        {CAMERA_REVERSE_BITS | 5, PTZ_STOP, PTZ_STOP},
        {CAMERA_REVERSE_BITS, PTZ_IRIS_OPEN, PTZ_IRIS_OPEN},
        {CAMERA_REVERSE_ZOOM, PTZ_TILT_UP, PTZ_TILT_UP},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReversedPtzCommand(c.options, c.command), c.sent)
            << std::hex << c.options << " " << c.command;
}

}  // namespace
