#pragma once

// What the user and audio/video page suites add to setup_device_fixture.h (Click, Reply): a selected DVR
// with named channels and a user list, a host window that records what the page posts to it and answers
// message boxes as told, and the posts as comparable values.

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "core/system_settings.h"
#include "core/window_messages.h"
#include "dvr/device_list_node.h"
#include "dvr/dvr_records.h"
#include "dvr/dvr_session.h"
#include "platform/ui/prompt_hook.h"
#include "tests/platform/ui/ui_test_support.h"
#include "tests/ui/dialogs/setup_device_fixture.h"

// The DVR selected in the device tree for one test: count channels named "Cam <i>", system parameters
// present, and the given accounts as its published user list.
class SelectedSetupDevice {
public:
    explicit SelectedSetupDevice(int count, std::vector<DVRUserAccount> users = {})
        : m_device(new DVRDevice()) {
        m_ok = AllocDeviceChannels(m_device.get(), count) == 0;
        for (int i = 0; m_ok && i < count; ++i)
            SetNodeText(m_device->channels[i].name, QStringLiteral("Cam %1").arg(i + 1));
        m_device->systemParams.reset(static_cast<SystemSettings*>(std::calloc(1, sizeof(SystemSettings))));
        if (!users.empty())
            m_device->lists.users.Publish(std::make_shared<std::vector<DVRUserAccount>>(std::move(users)));
        g_currentDevice = m_device.get();
    }
    ~SelectedSetupDevice() { g_currentDevice = nullptr; }
    bool ok() const { return m_ok; }
    DVRDevice* get() const { return m_device.get(); }
    DVRUserAccount& user(int slot) const {
        return (*m_device->lists.users.Current())[static_cast<size_t>(slot)];
    }

private:
    std::unique_ptr<DVRDevice> m_device;
    bool m_ok = false;
};

// The host of a page: records the messages posted to it and answers message boxes with `answer`.
class SetupHost {
public:
    SetupHost() {
        window.CreateTest(nullptr, WS_POPUP);
        window.ShowWindow(SW_SHOW);
        SetPromptHook([this](const PromptRequest& request) {
            if (request.kind == PromptKind::MessageBox)
                messages << request.text;
            PromptAnswer reply;
            reply.result = answer;
            return reply;
        });
    }
    ~SetupHost() {
        SetPromptHook(nullptr);
        window.DestroyWindow();
    }
    // The messages of these kinds that reached the host since the last call, in order.
    std::vector<SeenMessage> Take(std::initializer_list<UINT> kinds) {
        DrainPostedEvents();
        std::vector<SeenMessage> seen;
        for (const SeenMessage& m : log) {
            if (m.who != "host")
                continue;
            for (UINT kind : kinds) {
                if (m.message == kind)
                    seen.push_back(m);
            }
        }
        log.clear();
        return seen;
    }

    std::vector<SeenMessage> log;
    RecordingWnd window{"host", &log};
    QStringList messages;
    int answer = IDOK;
};

// {message, wParam, lParam} of what a host saw.
struct Post {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Post&) const = default;
};
inline std::vector<Post> Posts(const std::vector<SeenMessage>& seen) {
    std::vector<Post> posts;
    for (const SeenMessage& m : seen)
        posts.push_back({m.message, m.wParam, m.lParam});
    return posts;
}
