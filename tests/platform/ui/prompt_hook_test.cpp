// Message boxes, popup menus and the common dialogs answer through the prompt hook.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include "platform/ui/common_dialogs.h"
#include "platform/ui/dialog.h"
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

// Without a hook the menu opens at the point: below it, or above it with TPM_BOTTOMALIGN (its bottom edge
// on the point). Nothing chosen, nothing is posted.
TEST_F(PromptTest, PopupMenuOpensBelowOrAboveThePoint) {
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, 40001, "Lock");
    menu.AppendMenu(MF_STRING, 40002, "Switch");
    const QPoint point(200, 300);
    for (UINT flags : {TPM_LEFTALIGN, TPM_RIGHTBUTTON | TPM_BOTTOMALIGN}) {
        QRect shown;
        QTimer::singleShot(0, [&] {
            QWidget* popup = QApplication::activePopupWidget();
            if (popup == nullptr)
                return;
            shown = popup->geometry();
            popup->close();
        });
        EXPECT_EQ(menu.TrackPopupMenu(flags | TPM_RETURNCMD, point.x(), point.y(), nullptr), 0);
        ASSERT_FALSE(shown.isEmpty()) << flags;
        EXPECT_EQ(shown.left(), point.x()) << flags;
        if (flags & TPM_BOTTOMALIGN)
            EXPECT_EQ(shown.bottom() + 1, point.y());
        else
            EXPECT_EQ(shown.top(), point.y());
    }
}

// The session ends: a menu, a message box and the template dialogs that run inside each other all end
// without being answered, innermost first; until the outermost has returned, nothing new asks.
TEST_F(PromptTest, EndModalLoopsEndsEveryLoopAndNothingNewAsks) {
    static const DialogTemplate kOuter{9301, WS_POPUP | WS_CAPTION, "Outer", 0, 0, 100, 60, nullptr, 0};
    static const DialogTemplate kInner{9302, WS_POPUP | WS_CAPTION, "Inner", 0, 0, 80, 40, nullptr, 0};
    // The inner dialog refuses Cancel, as the unlock dialog does.
    class Stubborn : public CDialog {
    public:
        Stubborn() : CDialog(&kInner, nullptr) {}
        void OnCancel() override {}
    };
    std::vector<std::string> order;
    CDialog outer(&kOuter, nullptr);
    QTimer::singleShot(0, [&] {
        Stubborn inner;
        QTimer::singleShot(0, [&] {
            QTimer::singleShot(0, [&] {
                EXPECT_NE(QApplication::activePopupWidget(), nullptr);
                EndModalLoops(IDCANCEL);
            });
            CMenu menu;
            ASSERT_TRUE(menu.CreatePopupMenu());
            menu.AppendMenu(MF_STRING, 40001, "Lock");
            EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 10, 10, nullptr), 0);
            order.push_back("menu");
            // Asked after the end: answered at once, the hook is not asked.
            SetPromptHook([&](const PromptRequest& r) {
                asked.push_back(r);
                return PromptAnswer{};
            });
            EXPECT_EQ(MessageBox(nullptr, "Sure?", "", MB_OKCANCEL), IDCANCEL);
            EXPECT_EQ(MessageBox(nullptr, "Sure?", "", MB_YESNO), IDNO);
            EXPECT_TRUE(asked.empty());
            CDialog late(&kInner, nullptr);
            EXPECT_EQ(late.DoModal(), IDCANCEL);
        });
        EXPECT_EQ(inner.DoModal(), IDCANCEL);
        order.push_back("inner");
        EXPECT_TRUE(ModalLoopsEnding());
    });
    EXPECT_EQ(outer.DoModal(), IDCANCEL);
    order.push_back("outer");
    EXPECT_EQ(order, (std::vector<std::string>{"menu", "inner", "outer"}));
    // Over: the next dialog runs again.
    EXPECT_FALSE(ModalLoopsEnding());
}

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
