// WM_SHOWWINDOW reaches only the window whose own visibility changed; owned windows follow their owner's
// minimise and restore; a modal dialog without a place of its own, and a message box, open centred on its
// owner.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "platform/ui/dialog.h"
#include "platform/ui/message_box.h"
#include "tests/platform/ui/ui_test_support.h"

namespace {

std::vector<std::string> ShowLog(const std::vector<SeenMessage>& log) {
    std::vector<std::string> out;
    for (const SeenMessage& m : log) {
        if (m.message == WM_SHOWWINDOW)
            out.push_back(m.who + (m.wParam ? "+" : "-"));
    }
    return out;
}

TEST(ShowWindow, OnlyTheWindowWhoseOwnVisibilityChangedHearsOfIt) {
    std::vector<SeenMessage> log;
    RecordingWnd parent("parent", &log);
    RecordingWnd child("child", &log);
    ASSERT_TRUE(parent.CreateTest(nullptr, 0));
    ASSERT_TRUE(child.CreateTest(&parent, WS_CHILD | WS_VISIBLE));
    child.ShowWindow(SW_SHOW);
    parent.ShowWindow(SW_SHOW);
    parent.ShowWindow(SW_SHOW);  // no change
    EXPECT_TRUE(child.IsWindowVisible());
    parent.ShowWindow(SW_HIDE);
    EXPECT_FALSE(child.IsWindowVisible());
    child.ShowWindow(SW_HIDE);
    EXPECT_EQ(ShowLog(log), (std::vector<std::string>{"parent+", "parent-", "child-"}));
}

// The owned windows go with their minimised owner and come back when it is restored, twice in a row; one
// that the program hid meanwhile stays hidden.
TEST(OwnedWindows, FollowTheirOwnersMinimiseExceptOneTheProgramHid) {
    std::unique_ptr<CWnd> owner = MakeTestTopLevel(nullptr, QRect(0, 0, 400, 300));
    ASSERT_NE(owner, nullptr);
    std::unique_ptr<CWnd> video = MakeTestTopLevel(owner.get(), QRect(30, 30, 200, 150));
    std::unique_ptr<CWnd> panel = MakeTestTopLevel(owner.get(), QRect(250, 30, 100, 100));
    ASSERT_TRUE(video != nullptr && panel != nullptr);
    owner->ShowWindow(SW_SHOW);
    video->ShowWindow(SW_SHOW);
    panel->ShowWindow(SW_SHOW);
    for (int round = 0; round < 2; ++round) {
        owner->ShowWindow(SW_MINIMIZE);
        EXPECT_FALSE(video->IsWindowVisible()) << round;
        EXPECT_FALSE(panel->IsWindowVisible()) << round;
        if (round == 1)
            panel->ShowWindow(SW_HIDE);
        owner->ShowWindow(SW_RESTORE);
        EXPECT_TRUE(video->IsWindowVisible()) << round;
        EXPECT_EQ(panel->IsWindowVisible(), round == 0 ? TRUE : FALSE) << round;
    }
}

const DialogTemplate kPlainDialog{9401, WS_POPUP | WS_CAPTION, "Notice", 0, 0, 120, 60, nullptr, 0};

// Reads where its window was when its modal loop ran, then ends it; placeItself moves it in its
// initialisation, as a dialog with a place of its own does.
class PlacedDialog : public CDialog {
public:
    PlacedDialog(CWnd* owner, bool placeItself) : CDialog(&kPlainDialog, owner), m_placeItself(placeItself) {}
    QRect shown;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (m_placeItself)
            MoveWindow(0, 0, 200, 100);
        QTimer::singleShot(0, [this] {
            shown = GetWidget()->geometry();
            EndDialog(IDOK);
        });
        return TRUE;
    }

private:
    bool m_placeItself;
};

TEST(OwnedWindows, ModalDialogWithoutAPlaceOpensCentredOnItsOwner) {
    std::unique_ptr<CWnd> owner = MakeTestTopLevel(nullptr, QRect(100, 50, 600, 400));
    ASSERT_NE(owner, nullptr);
    owner->ShowWindow(SW_SHOW);
    PlacedDialog centred(owner.get(), false);
    EXPECT_EQ(centred.DoModal(), IDOK);
    EXPECT_LE((centred.shown.center() - QPoint(400, 250)).manhattanLength(), 1)
        << centred.shown.x() << "," << centred.shown.y();
    PlacedDialog placed(owner.get(), true);
    EXPECT_EQ(placed.DoModal(), IDOK);
    // At the screen's corner (inside any frame the platform draws).
    EXPECT_LE(placed.shown.topLeft().manhattanLength(), 4) << placed.shown.x() << "," << placed.shown.y();
    EXPECT_EQ(placed.shown.size(), QSize(200, 100));
}

TEST(OwnedWindows, MessageBoxOpensCentredOnItsOwner) {
    std::unique_ptr<CWnd> owner = MakeTestTopLevel(nullptr, QRect(100, 50, 600, 400));
    ASSERT_NE(owner, nullptr);
    owner->ShowWindow(SW_SHOW);
    // Short and long texts: the box's size is only settled as it is shown.
    for (const QString& text :
         {QStringLiteral("Saved."), QStringLiteral("A much longer notice, with a second line:\n"
                                                   "the box grows to hold it all.")}) {
        QRect shown;
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                shown = box->geometry();
                box->reject();
            }
        });
        static_cast<void>(MessageBox(owner.get(), text, QStringLiteral("Vistal"), MB_OK));
        ASSERT_FALSE(shown.isNull()) << text.toStdString();
        EXPECT_LE((shown.center() - QPoint(400, 250)).manhattanLength(), 1)
            << text.toStdString() << ": " << shown.x() << "," << shown.y() << " " << shown.width() << "x"
            << shown.height();
    }
}

}  // namespace
