#pragma once

// The selected DVR of the setup page suites: a DVR record made in the test (no session), its system and
// network records, disk and language lists as the reply parsers publish them; a stand-in for the setup
// dialog that records what its pages post; and the message boxes the pages show, answered with OK.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "core/disk_list.h"
#include "core/language_list.h"
#include "core/system_settings.h"
#include "dvr/device_list_node.h"
#include "dvr/dvr_device.h"
#include "dvr/dvr_session.h"
#include "platform/ui/prompt_hook.h"
#include "tests/ui/dialogs/node_script.h"

class SetupDeviceFixture : public ::testing::Test {
protected:
    void SetUp() override {
        device = std::make_unique<DVRDevice>();
        device->systemParams.reset(static_cast<SystemSettings*>(std::calloc(1, sizeof(SystemSettings))));
        device->networkParams.reset(static_cast<DVRNetworkParams*>(std::calloc(1, sizeof(DVRNetworkParams))));
        g_currentDevice = device.get();
        SetPromptHook([this](const PromptRequest& request) {
            if (request.kind == PromptKind::MessageBox)
                messages << request.text;
            PromptAnswer answer;
            answer.result = IDOK;
            answer.path = folderAnswer;
            return answer;
        });
        setup.CreateTest(nullptr, WS_POPUP);
        setup.ShowWindow(SW_SHOW);
    }
    void TearDown() override {
        SetPromptHook(nullptr);
        setup.DestroyWindow();
        g_currentDevice = nullptr;
    }
    // Publishes the DVR's disk list: one disk per letter.
    void PublishDisks(const QString& letters) {
        auto list = std::make_shared<std::vector<DVRDiskInfo>>();
        for (QChar letter : letters) {
            DVRDiskInfo disk{};
            disk.letter = letter.unicode();
            SetNodeText(disk.totalText, QStringLiteral("465 GB"));
            disk.usedPercent = 40;
            SetNodeText(disk.availableText, QStringLiteral("279 GB"));
            list->push_back(disk);
        }
        device->lists.disks.Publish(list);
    }
    void PublishLanguages(const QStringList& names) {
        auto list = std::make_shared<std::vector<DVRLanguageInfo>>();
        int index = 0;
        for (const QString& name : names) {
            DVRLanguageInfo language{};
            language.index = index++;
            SetNodeText(language.name, name);
            list->push_back(language);
        }
        device->lists.languages.Publish(list);
    }
    // What the pages posted to the setup dialog, of that message.
    std::vector<SeenMessage> Posted(UINT message) {
        DrainPostedEvents();
        std::vector<SeenMessage> seen;
        for (const SeenMessage& m : setupLog) {
            if (m.who == "setup" && m.message == message)
                seen.push_back(m);
        }
        return seen;
    }
    void ClearPosted() {
        DrainPostedEvents();
        setupLog.clear();
    }

    MainWindowStandIn main;
    std::unique_ptr<DVRDevice> device;
    std::vector<SeenMessage> setupLog;
    RecordingWnd setup{"setup", &setupLog};
    QStringList messages;
    QString folderAnswer;
};

inline void Click(CWnd& dlg, UINT id) {
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}
// Delivers a reply notification as the setup dialog hands it to a page (posted).
inline void Reply(CWnd& page, int replyType, int index = 0) {
    page.PostMessage(WM_DEVICE_PARAMS_RECEIVED, static_cast<WPARAM>(replyType), index);
    DrainPostedEvents();
}
