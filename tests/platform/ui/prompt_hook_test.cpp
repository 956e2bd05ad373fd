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
    EXPECT_EQ(BrowseForFolder(nullptr, "Pick", &folder), IDOK);
    EXPECT_EQ(folder, "/tmp/tree");
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
