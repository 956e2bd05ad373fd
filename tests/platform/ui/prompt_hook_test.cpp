// Message boxes, popup menus and the common dialogs answer through the prompt hook.

#include <gtest/gtest.h>

#include "platform/ui/common_dialogs.h"
#include "platform/ui/menu.h"
#include "platform/ui/message_box.h"
#include "platform/ui/prompt_hook.h"
#include "tests/platform/ui/ui_test_support.h"

namespace {

class PromptTest : public ::testing::Test {
protected:
    void TearDown() override { SetPromptHook(nullptr); }
    std::vector<PromptRequest> asked;
};

TEST_F(PromptTest, MessageBoxAndDialogsTakeTheHooksAnswers) {
    SetPromptHook([&](const PromptRequest& r) {
        asked.push_back(r);
        PromptAnswer a;
        a.result = r.kind == PromptKind::MessageBox ? IDNO : IDOK;
        a.path = "/tmp/tree";
        a.colour = RGB(1, 2, 3);
        return a;
    });
    EXPECT_EQ(MessageBox(nullptr, "Exit?", "Vistal", MB_YESNO | MB_ICONQUESTION), IDNO);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, "Exit?");
    EXPECT_EQ(asked[0].style, MB_YESNO | MB_ICONQUESTION);

    CFileDialog save(FALSE, "cfg", "tree", OFN_OVERWRITEPROMPT, "Tree (*.cfg)|*.cfg||");
    EXPECT_EQ(save.DoModal(), IDOK);
    EXPECT_EQ(save.GetPathName(), "/tmp/tree.cfg");  // the default extension is added
    CColorDialog colour(RGB(9, 9, 9));
    EXPECT_EQ(colour.DoModal(), IDOK);
    EXPECT_EQ(colour.GetColor(), RGB(1, 2, 3));
    QString folder;
    EXPECT_EQ(BrowseForFolder(nullptr, "Pick", &folder), 0);
    EXPECT_EQ(folder, "/tmp/tree\\");
}

TEST_F(PromptTest, BrowseForFolderEndsTheFolderInASeparatorOrFails) {
    struct Case {
        int answer;
        QString path;
        int result;
        QString folder;
    } cases[] = {
        {IDOK, "/srv/rec", 0, "/srv/rec\\"},
        {IDOK, "/srv/rec/", 0, "/srv/rec/"},
        {IDOK, "D:\\Records\\", 0, "D:\\Records\\"},
        {IDCANCEL, "/srv/rec", -1, "kept"},
        {IDOK, "", -1, "kept"},  // not a file-system folder
    };
    for (const Case& c : cases) {
        SetPromptHook([&](const PromptRequest&) {
            PromptAnswer a;
            a.result = c.answer;
            a.path = c.path;
            return a;
        });
        QString folder = "kept";
        EXPECT_EQ(BrowseForFolder(nullptr, "Pick", &folder), c.result) << c.path.toStdString();
        EXPECT_EQ(folder, c.folder) << c.path.toStdString();
    }
}

TEST_F(PromptTest, PopupMenuReturnsOrPostsTheChosenCommand) {
    std::vector<SeenMessage> log;
    RecordingWnd owner("owner", &log);
    ASSERT_TRUE(owner.CreateTest(nullptr, 0));
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, 40001, "Record");
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING | MF_GRAYED, 40002, "Stop");
    menu.CheckMenuItem(40001, MF_CHECKED);
    EXPECT_EQ(menu.GetMenuState(40001, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
    SetPromptHook([&](const PromptRequest& r) {
        asked.push_back(r);
        PromptAnswer a;
        a.result = 40001;
        return a;
    });
    EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 0, 0, &owner), 40001);
    ASSERT_EQ(asked.size(), 1u);
    // Only enabled commands can be chosen.
    EXPECT_EQ(asked[0].menuItems, QStringList{"40001:Record"});

    menu.TrackPopupMenu(TPM_RIGHTBUTTON, 0, 0, &owner);
    ASSERT_TRUE(WaitUntil([&] {
        for (const SeenMessage& m : log) {
            if (m.who == "owner" && m.message == WM_COMMAND)
                return m.wParam == 40001;
        }
        return false;
    }));
}

}  // namespace

namespace {

const MenuItemTemplate kTreeMenuItems[] = {
    {0, MF_POPUP, 0, "Tree"},
    {1, MF_STRING, 32801, "Load Config..."},
    {1, MF_SEPARATOR, 0, nullptr},
    {1, MF_POPUP, 0, "Add"},
    {2, MF_STRING, 32805, "Add Area..."},
    {2, MF_STRING, 32806, "Add DVR..."},
    {1, MF_STRING, 32808, "Delete"},
};
const MenuTemplate kTreeMenu = MakeMenuTemplate(9290, kTreeMenuItems);

TEST_F(PromptTest, MenuFromATemplateKeepsItsNestingAndOffersNestedCommands) {
    CMenu bar;
    EXPECT_FALSE(bar.LoadMenu(424242));
    ASSERT_TRUE(bar.LoadMenuIndirect(&kTreeMenu));
    CMenu* popup = bar.GetSubMenu(0);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->GetMenuItemCount(), 4);
    EXPECT_EQ(popup->GetMenuItemID(0), 32801u);
    ASSERT_NE(popup->GetSubMenu(2), nullptr);
    EXPECT_EQ(popup->GetSubMenu(2)->GetMenuItemID(1), 32806u);
    popup->ModifyMenu(32806, MF_STRING, 32806, "Add a DVR");
    EXPECT_TRUE(popup->DeleteMenu(1, MF_BYPOSITION));
    SetPromptHook([&](const PromptRequest& r) {
        asked.push_back(r);
        PromptAnswer a;
        a.result = 32806;
        return a;
    });
    EXPECT_EQ(popup->TrackPopupMenu(TPM_RETURNCMD, 0, 0, nullptr), 32806);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].menuItems,
              (QStringList{"32801:Load Config...", "32805:Add Area...", "32806:Add a DVR", "32808:Delete"}));
}

}  // namespace
