// The tree editor page on its real tree control: adding an area and a DVR and saving gives the tree file
// byte for byte (fresh ids that count on over the run, Base64 credentials), loading it back nests the DVR
// under its area, refused and cancelled record edits change nothing, deleting an area takes its subtree,
// a loaded *.cfg file is offered for saving on Exit, and Exit after a save asks the main window to reload
// every time. Picture: dlg_tree.png.

#include "ui/dialogs/dlg_tree.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstring>

#include "core/window_messages.h"
#include "platform/ui/prompt_hook.h"
#include "tests/dvr/tree_file_fixture.h"
#include "tests/picture_output.h"
#include "tests/platform/ui/text_fit.h"
#include "tests/scoped_env.h"
#include "tests/ui/dialogs/node_script.h"

namespace {

class ScriptedTree : public CDlgTree {
public:
    using CDlgTree::CDlgTree;
    NodeScript script;

protected:
    intptr_t RunNodeDialog(CDialog& dialog) override { return script.Run(dialog); }
};

class TreeFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        theApp.m_strDataDir = dir.path() + QStringLiteral("/");
        g_treeAreaIdCounter = 0;
        g_treeDvrIdCounter = 0;
        status.CreateTest(nullptr, WS_POPUP);
        SetPromptHook([this](const PromptRequest& request) {
            if (request.kind == PromptKind::MessageBox)
                prompts << request.text;
            PromptAnswer answer;
            answer.result = promptResult;
            answer.path = promptPath;
            return answer;
        });
    }
    void TearDown() override {
        SetPromptHook(nullptr);
        status.DestroyWindow();
    }
    QString TreeDat() const { return dir.filePath(QStringLiteral("tree.dat")); }
    // Top-level items in order, and the children of the first.
    static QStringList Names(CDlgTree& tree, HTREEITEM first) {
        QStringList names;
        for (HTREEITEM item = first; item != nullptr; item = tree.m_tree.GetNextSiblingItem(item))
            names << tree.m_tree.GetItemText(item);
        return names;
    }
    int StatusExits() {
        DrainPostedEvents();
        int n = 0;
        for (const SeenMessage& m : statusLog)
            n += m.who == "status" && m.message == WM_STATUS_PAGE_EXIT ? 1 : 0;
        return n;
    }

    QTemporaryDir dir;
    MainWindowStandIn main;
    std::vector<SeenMessage> statusLog;
    RecordingWnd status{"status", &statusLog};
    QStringList prompts;
    int promptResult = IDOK;
    QString promptPath;
};

DeviceTreeNode WithParent(DeviceTreeNode node, int parentId) {
    node.parentId = parentId;
    return node;
}

TEST_F(TreeFixture, AddAreaAndDvrSaveGivesTheFileBytesAndLoadsBackNested) {
    ScriptedTree tree(&status);
    ASSERT_TRUE(tree.Create(IDD_DLG_TREE, &status));
    EXPECT_EQ(tree.m_tree.GetCount(), 0u);

    tree.script.answers = {{{"Yard", "", "", "", ""}}, {{"Gate", "127.0.0.2", "0", "admin", "p w"}}};
    tree.OnAddArea();
    EXPECT_EQ(tree.script.shownParent, QStringLiteral("ROOT"));
    HTREEITEM area = tree.m_tree.GetRootItem();
    ASSERT_NE(area, nullptr);
    tree.m_tree.SelectItem(area);
    tree.OnAddDvr();
    EXPECT_EQ(tree.script.shownParent, QStringLiteral("Yard"));
    EXPECT_EQ(tree.script.shown.port, QStringLiteral("0"));
    EXPECT_EQ(tree.m_bModified, 1);
    EXPECT_EQ(Names(tree, tree.m_tree.GetChildItem(area)), QStringList{"Gate"});

    tree.OnSaveConfig();
    EXPECT_EQ(tree.m_bModified, 0);
    EXPECT_EQ(tree.m_bSaved, 1);
    // The port left at 0 is stored as 8000; the credentials as Base64 of their code-page bytes.
    EXPECT_EQ(ReadBytes(TreeDat()),
              TreeFileBytes({AreaRecord(1, "Yard"),
                             WithParent(DvrRecord(1, "Gate", "127.0.0.2", 8000, "admin", "p w"), 1)}));
    // The items keep their own ids and plain credentials, and a second save counts on.
    tree.OnSaveConfig();
    EXPECT_EQ(ReadBytes(TreeDat()),
              TreeFileBytes({AreaRecord(2, "Yard"),
                             WithParent(DvrRecord(2, "Gate", "127.0.0.2", 8000, "admin", "p w"), 2)}));
    // A save that cannot write its file uses up no ids: the next one counts on from the last written.
    const QString dataDir = theApp.m_strDataDir;
    theApp.m_strDataDir = dir.filePath(QStringLiteral("missing/folder/"));
    tree.OnSaveConfig();
    EXPECT_EQ(g_treeAreaIdCounter, 2);
    EXPECT_EQ(g_treeDvrIdCounter, 2);
    theApp.m_strDataDir = dataDir;
    tree.OnSaveConfig();
    EXPECT_EQ(ReadBytes(TreeDat()),
              TreeFileBytes({AreaRecord(3, "Yard"),
                             WithParent(DvrRecord(3, "Gate", "127.0.0.2", 8000, "admin", "p w"), 3)}));

    // Exit after a save: the status dialog is told, and the main window asked to reload, on every Exit.
    tree.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    tree.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_EQ(StatusExits(), 2);
    EXPECT_EQ(main.Received(WM_DEVICE_TREE_CHANGED).size(), 2u);
    EXPECT_TRUE(prompts.isEmpty());
    tree.DestroyWindow();

    ScriptedTree loaded(&status);
    ASSERT_TRUE(loaded.Create(IDD_DLG_TREE, &status));
    HTREEITEM loadedArea = loaded.m_tree.GetRootItem();
    EXPECT_EQ(Names(loaded, loadedArea), QStringList{"Yard"});
    EXPECT_EQ(Names(loaded, loaded.m_tree.GetChildItem(loadedArea)), QStringList{"Gate"});
    loaded.m_tree.SelectItem(loaded.m_tree.GetChildItem(loadedArea));
    loaded.SendMessage(WM_NOTIFY, IDC_TREE_TREE, 0);  // no header: ignored
    NMHDR click;
    click.idFrom = IDC_TREE_TREE;
    click.code = NM_CLICK;
    LRESULT result = -1;
    loaded.SendMessage(WM_NOTIFY, IDC_TREE_TREE, reinterpret_cast<LPARAM>(&click));
    const struct {
        UINT id;
        const char* text;
    } shown[] = {{1298, "3"},    {1047, "Gate"},  {1049, "127.0.0.2"},
                 {1048, "8000"}, {1050, "admin"}, {1051, "********"}};
    for (const auto& s : shown)
        EXPECT_EQ(loaded.GetDlgItem(s.id)->GetWindowText(), QString::fromLatin1(s.text)) << s.id;
    static_cast<void>(result);

    // The page as the status dialog would show it.
    loaded.m_tree.Expand(loadedArea, TVE_EXPAND);
    loaded.ShowWindow(SW_SHOW);
    DrainPostedEvents();
    EXPECT_EQ(TextFitFaults(loaded.GetWidget(), true), QStringList());
    EXPECT_TRUE(loaded.GetWidget()->grab().save(PicturePath(QStringLiteral("dlg_tree.png"))));
    loaded.DestroyWindow();
}

TEST_F(TreeFixture, RefusedAndCancelledEditsChangeNothing) {
    ASSERT_TRUE(
        WriteBytes(TreeDat(), TreeFileBytes({DvrRecord(4, "Gate", "127.0.0.2", 9000, "admin", "pw")})));
    const QString longHost(64, u'h');
    const QString han = QStringLiteral("\u5f20\u4e09");
    const QString unsendable =
        QStringLiteral("The text has characters that cannot be sent, please input again!");
    struct Case {
        const char* title;
        NodeAnswer answer;
        bool refused;
        bool changed;
        QString told;  // the message box of the refusal
    };
    const Case cases[] = {
        {"empty name", {{"", "127.0.0.9", "1", "x", "y"}}, true, false, {}},
        // The name is not taken over before the address is checked.
        {"new name, empty address", {{"New", "", "1", "x", "y"}}, true, false, {}},
        // The edits take no more than the record holds.
        {"address typed past its edit's limit", {{"New", longHost, "1", "x", "y"}}, false, true, {}},
        // A credential the code page lacks would be saved as "??": refused and told, nothing taken over.
        {"user the code page lacks", {{"New", "127.0.0.9", "1", han, "y"}}, true, false, unsendable},
        {"password the code page lacks", {{"New", "127.0.0.9", "1", "x", han}}, true, false, unsendable},
        {"cancelled", {{"New", "127.0.0.9", "1", "x", "y"}, false}, false, false, {}},
        {"accepted", {{"New", "127.0.0.9", "1", "x", "y"}}, false, true, {}},
    };
    ScopedEnv codePage("VISTAL_CODEPAGE", "CP1252");
    for (const Case& c : cases) {
        prompts.clear();
        ScriptedTree tree(&status);
        ASSERT_TRUE(tree.Create(IDD_DLG_TREE, &status));
        HTREEITEM item = tree.m_tree.GetRootItem();
        ASSERT_NE(item, nullptr) << c.title;
        tree.m_tree.SelectItem(item);
        const auto* node = reinterpret_cast<const DeviceTreeNode*>(tree.m_tree.GetItemData(item));
        const DeviceTreeNode before = *node;
        tree.script.answers = {c.answer};
        tree.OnModify();
        EXPECT_EQ(tree.script.refused, c.refused ? 1 : 0) << c.title;
        EXPECT_EQ(prompts, c.told.isEmpty() ? QStringList() : QStringList{c.told}) << c.title;
        // The dialog showed the record's own values.
        EXPECT_EQ(tree.script.shown.name, QStringLiteral("Gate")) << c.title;
        EXPECT_EQ(tree.script.shown.password, QStringLiteral("pw")) << c.title;
        EXPECT_EQ(std::memcmp(&before, node, sizeof before) != 0, c.changed) << c.title;
        EXPECT_EQ(tree.m_bModified, c.changed ? 1 : 0) << c.title;
        EXPECT_EQ(tree.m_tree.GetItemText(item), QString::fromLatin1(c.changed ? "New" : "Gate")) << c.title;
        if (c.changed) {
            EXPECT_EQ(NodeText(node->host).size(), std::min<qsizetype>(c.answer.entry.host.size(), 63))
                << c.title;
        }
        tree.DestroyWindow();
    }
}

TEST_F(TreeFixture, DeleteTakesTheSubtreeAndALoadedConfigIsOfferedOnExit) {
    DeviceTreeNode inner = AreaRecord(2, "Inner");
    inner.parentId = 1;
    const QString cfg = dir.filePath(QStringLiteral("site.cfg"));
    ASSERT_TRUE(WriteBytes(cfg, TreeFileBytes({AreaRecord(1, "Outer"), inner,
                                               WithParent(DvrRecord(1, "Deep", "127.0.0.3", 9000), 2),
                                               DvrRecord(2, "Top", "127.0.0.4", 9000)})));
    ScriptedTree tree(&status);
    ASSERT_TRUE(tree.Create(IDD_DLG_TREE, &status));
    promptPath = cfg;
    tree.OnLoadConfig();
    EXPECT_EQ(tree.m_bModified, 1);
    EXPECT_EQ(tree.m_tree.GetCount(), 4u);
    // The area with everything under it goes, without a question.
    tree.m_tree.SelectItem(tree.m_tree.GetRootItem());
    tree.OnDelete();
    EXPECT_EQ(Names(tree, tree.m_tree.GetRootItem()), QStringList{"Top"});
    EXPECT_TRUE(prompts.isEmpty());

    // A DVR cannot take children.
    tree.m_tree.SelectItem(tree.m_tree.GetRootItem());
    tree.script.answers = {{{"Child", "", "", "", ""}}};
    tree.OnAddArea();
    EXPECT_EQ(tree.m_tree.GetCount(), 1u);

    // Exit asks whether to save; OK writes tree.dat.
    promptResult = IDOK;
    tree.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_EQ(prompts, QStringList{"Config has modified but not saved, save now?"});
    EXPECT_EQ(ReadBytes(TreeDat()), TreeFileBytes({DvrRecord(1, "Top", "127.0.0.4", 9000)}));
    EXPECT_EQ(main.Received(WM_DEVICE_TREE_CHANGED).size(), 1u);
    tree.DestroyWindow();
}

TEST_F(TreeFixture, ContextMenuOffersWhatTheSelectionAllows) {
    ASSERT_TRUE(WriteBytes(TreeDat(),
                           TreeFileBytes({AreaRecord(1, "Yard"), DvrRecord(1, "Gate", "127.0.0.2", 9000)})));
    ScriptedTree tree(&status);
    ASSERT_TRUE(tree.Create(IDD_DLG_TREE, &status));
    HTREEITEM area = tree.m_tree.GetRootItem();
    HTREEITEM dvr = tree.m_tree.GetNextSiblingItem(area);
    ASSERT_NE(dvr, nullptr);
    QStringList offered;
    int choose = 0;
    SetPromptHook([&](const PromptRequest& request) {
        PromptAnswer answer;
        if (request.kind == PromptKind::PopupMenu) {
            offered = request.menuItems;
            answer.result = choose;
        }
        return answer;
    });
    struct Case {
        const char* title;
        HTREEITEM selected;
        bool modify;  // Modify and Delete offered
    };
    const Case cases[] = {
        {"nothing selected", nullptr, false}, {"an area", area, true}, {"a DVR", dvr, true}};
    for (const Case& c : cases) {
        tree.m_tree.SelectItem(c.selected);
        NMHDR rclick;
        rclick.idFrom = IDC_TREE_TREE;
        rclick.code = NM_RCLICK;
        tree.SendMessage(WM_NOTIFY, IDC_TREE_TREE, reinterpret_cast<LPARAM>(&rclick));
        EXPECT_TRUE(offered.contains("32801:Load Config...")) << c.title;
        EXPECT_TRUE(offered.contains("32805:Add Area...")) << c.title;
        EXPECT_EQ(offered.contains("32807:Modify"), c.modify) << c.title;
        EXPECT_EQ(offered.contains("32808:Delete"), c.modify) << c.title;
    }
    // A chosen command comes back to the page: Delete on the selected DVR.
    choose = ID_TREE_DELETE;
    NMHDR rclick;
    rclick.idFrom = IDC_TREE_TREE;
    rclick.code = NM_RCLICK;
    tree.SendMessage(WM_NOTIFY, IDC_TREE_TREE, reinterpret_cast<LPARAM>(&rclick));
    DrainPostedEvents();
    EXPECT_EQ(tree.m_tree.GetCount(), 1u);
    EXPECT_EQ(tree.m_bModified, 1);
    tree.DestroyWindow();
}

}  // namespace
