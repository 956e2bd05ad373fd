// The device list dialog against real components on loopback: its search finds two simulated LAN
// responders, one is deleted and Save writes the other into tree.dat byte for byte; in WAN mode a delete
// reaches the simulated WAN server through the main window's relay at once; Exit saves or not as answered
// and asks the main window to reload only after a save that wrote a change. Picture: dlg_device.png.

#include "ui/dialogs/dlg_device.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "core/window_messages.h"
#include "dvr/device_tree.h"
#include "dvr/wan_client.h"
#include "platform/ui/prompt_hook.h"
#include "tests/dvr/tree_file_fixture.h"
#include "tests/picture_output.h"
#include "tests/platform/ui/text_fit.h"
#include "tests/ui/dialogs/node_script.h"
#include "tools/lansim/lan_responder.h"
#include "tools/wansim/wan_server.h"
#include "ui/dialogs/dialog_texts.h"

namespace {

class ScriptedDevice : public CDlgDevice {
public:
    NodeScript script;

protected:
    intptr_t RunNodeDialog(CDialog& dialog) override { return script.Run(dialog); }
};

class DeviceFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        theApp.m_strDataDir = dir.path() + QStringLiteral("/");
        theApp.m_iniSystem.SetPath(dir.filePath(QStringLiteral("system.ini")));
        theApp.m_bLanMode = 1;
        theApp.m_bShowDevice = 1;
        SetPromptHook([this](const PromptRequest& request) {
            if (request.kind == PromptKind::MessageBox)
                prompts << request.text;
            PromptAnswer answer;
            answer.result = promptResult;
            return answer;
        });
    }
    void TearDown() override {
        SetPromptHook(nullptr);
        theApp.m_iniSystem.SetPath(QString());
        theApp.m_bLanMode = 0;
    }
    QString TreeDat(bool lan = true) const { return dir.filePath(lan ? "tree.dat" : "treew.dat"); }
    static void Select(CDlgDevice& dlg, int row) {
        dlg.m_listDevices.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    }
    static QStringList Rows(CDlgDevice& dlg) {
        QStringList rows;
        for (int row = 0; row < dlg.m_listDevices.GetItemCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < 5; ++column)
                cells << dlg.m_listDevices.GetItemText(row, column);
            rows << cells.join(u'|');
        }
        return rows;
    }
    static void Click(CDlgDevice& dlg, UINT id) {
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    }

    QTemporaryDir dir;
    MainWindowStandIn main;
    QStringList prompts;
    int promptResult = IDOK;
};

TEST_F(DeviceFixture, SearchFindsTwoResponderAndSavesTheOneKept) {
    const int replyPort = FreeUdpPort();
    ASSERT_GT(replyPort, 0);
    LanResponder responders[2];
    ASSERT_EQ(responders[0].Start(), 0);
    ASSERT_EQ(responders[1].Start(responders[0].Port()), 0);
    responders[0].SetReplies({MakeDiscoveryReply("Gate", "127.0.0.2", 9001)});
    responders[1].SetReplies({MakeDiscoveryReply("Back Yard", "127.0.0.3", 9002)});
    responders[1].SetDelay(80);
    for (LanResponder& r : responders)
        r.SetReplyPort(static_cast<uint16_t>(replyPort));
    ScopedEnv address("VISTAL_DISCOVERY_ADDRESS",
                      "127.255.255.255:" + QByteArray::number(responders[0].Port()));
    ScopedEnv reply("VISTAL_DISCOVERY_REPLY_PORT", QByteArray::number(replyPort));

    // The stored file's DVRs are listed, its areas passed over.
    DeviceTreeNode stored = DvrRecord(3, "Old", "127.0.0.9", 9000, "admin", "pw");
    stored.parentId = 1;
    ASSERT_TRUE(WriteBytes(TreeDat(), TreeFileBytes({AreaRecord(1, "Site"), stored})));
    ScriptedDevice dlg;
    ASSERT_TRUE(dlg.Create(IDD_DLG_DEVICE, nullptr));
    EXPECT_EQ(Rows(dlg), QStringList{"Old|127.0.0.9|9000|admin|********"});

    // The search replaces the list with what answered.
    Click(dlg, IDC_DEVICE_SEARCH);
    EXPECT_EQ(Rows(dlg),
              (QStringList{"Gate|127.0.0.2|9001|admin|********", "Back Yard|127.0.0.3|9002|admin|********"}));
    EXPECT_EQ(dlg.m_bModified, 1);
    EXPECT_EQ(responders[0].LastRequest(), QByteArray("65587 0 \r\n\r\n"));
    dlg.ShowWindow(SW_SHOW);
    DrainPostedEvents();
    EXPECT_EQ(TextFitFaults(dlg.GetWidget(), true), QStringList());
    EXPECT_TRUE(dlg.GetWidget()->grab().save(PicturePath(QStringLiteral("dlg_device.png"))));

    // One is deleted (LAN mode: nothing goes to the main window) and the other saved.
    Select(dlg, 1);
    Click(dlg, IDC_DEVICE_DELETE);
    Click(dlg, IDOK);
    EXPECT_EQ(ReadBytes(TreeDat()), TreeFileBytes({DvrRecord(0, "Gate", "127.0.0.2", 9001, "admin", "")}));
    Click(dlg, IDCANCEL);
    EXPECT_TRUE(prompts.isEmpty());
    EXPECT_TRUE(main.Received(WM_WAN_REQUEST).empty());
    EXPECT_EQ(main.Received(WM_DEVICE_TREE_CHANGED).size(), 1u);
    dlg.DestroyWindow();
}

TEST_F(DeviceFixture, WanDeleteReachesTheServerAtOnce) {
    WanServer server;
    ASSERT_EQ(server.Start(), 0);
    server.AddUser(QStringLiteral("admin"), QStringLiteral("admin"));
    ScopedEnv wan("VISTAL_WAN_SERVER", server.HostPort());
    ASSERT_EQ(InitRelaySession(), 0);
    theApp.m_bLanMode = 0;
    ASSERT_EQ(CheckLogin(QStringLiteral("admin"), QStringLiteral("admin")), LOGIN_OK);
    ASSERT_TRUE(WriteBytes(TreeDat(false), TreeFileBytes({DvrRecord(0, "Front Door", "127.0.0.2", 9001),
                                                          DvrRecord(1, "Hall", "127.0.0.3", 9002)})));
    ScriptedDevice dlg;
    ASSERT_TRUE(dlg.Create(IDD_DLG_DEVICE, nullptr));
    ASSERT_EQ(dlg.m_listDevices.GetItemCount(), 2);
    Select(dlg, 0);
    Click(dlg, IDC_DEVICE_DELETE);
    EXPECT_EQ(Rows(dlg), QStringList{"Hall|127.0.0.3|9002|admin|********"});

    // The main window's relay sends the delete for the record it was handed, and frees it.
    const std::vector<SeenMessage> requests = main.Received(WM_WAN_REQUEST);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].wParam, WAN_REQUEST_DELETE_DEVICE);
    SendRelayDeleteDevice(reinterpret_cast<DeviceTreeNode*>(requests[0].lParam));
    const QByteArray expected = "196627 " + QByteArray::number(g_relaySession->relayId) + " Front Door ";
    EXPECT_TRUE(WaitUntil([&] { return server.Requests().contains(expected); }, 5000))
        << server.Requests().size();
    // Before any Save: the tree file is as it was.
    EXPECT_EQ(ReadBytes(TreeDat(false)).size(), 2 + 2 * 1812);
    promptResult = IDCANCEL;
    Click(dlg, IDCANCEL);
    dlg.DestroyWindow();
    FreeRelaySession();
}

TEST_F(DeviceFixture, ExitSavesAsAnsweredAndKeepsTheShowSetting) {
    const QByteArray before = TreeFileBytes({DvrRecord(0, "Gate", "127.0.0.2", 9001, "admin", "pw")});
    struct Case {
        const char* title;
        int saves;  // Save presses before Exit
        int answer;
        bool checkShow;  // "Do not show again"
        bool saved;
        bool reload;
        bool asked;
    };
    const Case cases[] = {
        {"edit, Save, Exit", 1, IDOK, true, true, true, false},
        // A second Save with nothing new keeps the reload the first one asked for.
        {"edit, Save, Save, Exit", 2, IDOK, false, true, true, false},
        {"edit, Exit, OK", 0, IDOK, false, true, true, true},
        {"edit, Exit, Cancel", 0, IDCANCEL, false, false, false, true},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteBytes(TreeDat(), before));
        MainWindowStandIn window;
        prompts.clear();
        promptResult = c.answer;
        ScriptedDevice dlg;
        ASSERT_TRUE(dlg.Create(IDD_DLG_DEVICE, nullptr));
        Select(dlg, 0);
        dlg.script.answers = {{{"Gate 2", "127.0.0.5", "9005", "op", "pw"}}};
        Click(dlg, IDC_DEVICE_EDIT);
        EXPECT_EQ(dlg.script.shown.password, QStringLiteral("pw")) << c.title;
        EXPECT_EQ(Rows(dlg), QStringList{"Gate 2|127.0.0.5|9005|op|********"}) << c.title;
        for (int i = 0; i < c.saves; ++i)
            Click(dlg, IDOK);
        CheckItem(&dlg, IDC_DEVICE_SHOW, c.checkShow ? 1 : 0);
        Click(dlg, IDCANCEL);
        EXPECT_EQ(!prompts.isEmpty(), c.asked) << c.title;
        EXPECT_EQ(ReadBytes(TreeDat()),
                  c.saved ? TreeFileBytes({DvrRecord(0, "Gate 2", "127.0.0.5", 9005, "op", "pw")}) : before)
            << c.title;
        EXPECT_EQ(window.Received(WM_DEVICE_TREE_CHANGED).size(), c.reload ? 1u : 0u) << c.title;
        EXPECT_EQ(theApp.m_bShowDevice, c.checkShow ? 0 : 1) << c.title;
        EXPECT_EQ(theApp.m_iniSystem.GetInt("SYSTEM", "ShowDevice", -1), c.checkShow ? 0 : 1) << c.title;
        dlg.DestroyWindow();
    }
}

}  // namespace
