#pragma once

// A DVR selected in the device tree (g_currentDevice) for the dialog suites: count channels named
// "Cam <i>", one of them (unnamed) without a name. The selection ends with the object.

#include <QString>
#include <algorithm>
#include <memory>

#include "dvr/dvr_session.h"

class SelectedDevice {
public:
    explicit SelectedDevice(int count, int unnamed = -1) : m_device(new DVRDevice()) {
        m_ok = AllocDeviceChannels(m_device.get(), count) == 0;
        for (int i = 0; m_ok && i < count; ++i) {
            QString name = i == unnamed ? QString() : QString("Cam %1").arg(i);
            std::copy_n(reinterpret_cast<const char16_t*>(name.utf16()), name.size(),
                        m_device->channels[i].name);
        }
        g_currentDevice = m_device.get();
    }
    ~SelectedDevice() { g_currentDevice = nullptr; }
    bool ok() const { return m_ok; }
    DVRDevice* get() const { return m_device.get(); }
    DVRChannel& channel(int i) const { return m_device->channels[i]; }

private:
    std::unique_ptr<DVRDevice> m_device;
    bool m_ok = false;
};
