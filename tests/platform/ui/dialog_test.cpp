// Dialogs from templates: controls in dialog units, data exchange, the modal loop (posts and timers keep
// arriving, EndDialog ends it, Enter and Escape become OnOK and OnCancel) and modeless dialogs.

#include <gtest/gtest.h>

#include <QDialog>
#include <QTest>
#include <thread>

#include "platform/ui/button.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/dialog.h"
#include "platform/ui/dialog_font.h"
#include "platform/ui/edit.h"
#include "platform/ui/list_ctrl.h"
#include "platform/ui/range_ctrls.h"
#include "tests/platform/ui/text_fit.h"
#include "tests/platform/ui/ui_test_support.h"

namespace {

constexpr UINT kEdit = 1001;
constexpr UINT kCheck = 1002;
constexpr UINT kPing = WM_USER + 50;

const DialogItemTemplate kItems[] = {
    {kEdit, WC_EDIT, WS_VISIBLE | WS_TABSTOP, "", 10, 10, 100, 12},
    {kCheck, WC_BUTTON, WS_VISIBLE | BS_AUTOCHECKBOX, "Check", 10, 30, 100, 10},
    {IDOK, WC_BUTTON, WS_VISIBLE | BS_DEFPUSHBUTTON, "OK", 10, 50, 50, 14},
    {IDCANCEL, WC_BUTTON, WS_VISIBLE | BS_PUSHBUTTON, "Cancel", 70, 50, 50, 14},
};
const DialogTemplate kTemplate =
    MakeDialogTemplate(9001, WS_POPUP | WS_CAPTION, "Test", 0, 0, 200, 80, kItems);

class TestDialog : public CDialog {
public:
    TestDialog() : CDialog(&kTemplate, nullptr) {}
    QString name = "first";
    int checked = 1;
    CEdit edit;
    std::vector<std::string> events;
    std::function<void(TestDialog&)> onInit;
    std::function<void(TestDialog&, UINT)> onMessage;

    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, kEdit, edit);
        DDX_Text(pDX, kEdit, name);
        DDX_Check(pDX, kCheck, checked);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        events.push_back("init");
        if (onInit)
            onInit(*this);
        return TRUE;
    }
    void OnOK() override {
        events.push_back("ok");
        CDialog::OnOK();
    }
    void OnCancel() override {
        events.push_back("cancel");
        CDialog::OnCancel();
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (onMessage && (message >= WM_USER || message == WM_TIMER))
            onMessage(*this, message);
        return CDialog::WindowProc(message, wParam, lParam);
    }
};

TEST(Dialog, DialogUnitsScaleWithTheBaseUnits) {
    struct Case {
        DialogBaseUnits units;
        int dlu, x, y;
    };
    const Case cases[] = {
        {{6, 13}, 100, 150, 163}, {{6, 13}, 80, 120, 130}, {{7, 16}, 4, 7, 8},
        {{8, 16}, 3, 6, 6},       {{6, 13}, 0, 0, 0},      {{6, 13}, -10, -15, -16},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DialogUnitsToPixelsX(c.dlu, c.units), c.x) << c.dlu;
        EXPECT_EQ(DialogUnitsToPixelsY(c.dlu, c.units), c.y) << c.dlu;
    }
    // A larger font gives larger units; the dialog font gives sensible ones.
    QFont small = DialogFont();
    QFont large = DialogFont();
    large.setPixelSize(small.pixelSize() * 2);
    DialogBaseUnits a = DialogBaseUnitsOf(small);
    DialogBaseUnits b = DialogBaseUnitsOf(large);
    EXPECT_GT(b.cx, a.cx);
    EXPECT_GT(b.cy, a.cy);
    EXPECT_GE(GetDialogBaseUnits().cx, 4);
    EXPECT_GE(GetDialogBaseUnits().cy, 10);
}

// The text-fit check used on every dialog of the programs: it finds cut texts of each kind of control.
TEST(Dialog, TextFitCheckFindsCutTexts) {
    const QString longText =
        QStringLiteral("A text long enough to need several lines in a narrow static control");
    struct Case {
        const char* windowClass;
        DWORD style;
        short cx, cy;
        bool fits;
    };
    const Case cases[] = {
        {WC_STATIC, SS_LEFT, 200, 40, true},
        {WC_STATIC, SS_LEFT, 60, 16, false},
        {WC_STATIC, SS_LEFT | SS_CENTERIMAGE, 60, 40, false},
        {WC_BUTTON, BS_PUSHBUTTON, 300, 14, true},
        {WC_BUTTON, BS_PUSHBUTTON, 50, 14, false},
        {WC_BUTTON, BS_AUTOCHECKBOX, 300, 10, true},
        {WC_BUTTON, BS_AUTOCHECKBOX, 150, 10, false},
    };
    for (const Case& c : cases) {
        const DialogItemTemplate items[] = {
            {1001, c.windowClass, WS_VISIBLE | c.style, "", 5, 5, c.cx, c.cy}};
        const DialogTemplate t = MakeDialogTemplate(9003, WS_POPUP | WS_CAPTION, "Fit", 0, 0, 320, 60, items);
        CDialog dialog(&t, nullptr);
        ASSERT_TRUE(dialog.Create(&t, nullptr));
        dialog.GetDlgItem(1001)->SetWindowText(longText);
        EXPECT_EQ(TextFitFaults(dialog.GetWidget()).isEmpty(), c.fits) << c.windowClass << " " << c.cx;
        dialog.DestroyWindow();
    }
}

// A tab host's pages are child dialogs: their controls are checked too, hidden pages only when asked.
TEST(Dialog, TextFitCheckWalksChildDialogs) {
    const DialogTemplate host{9004, WS_POPUP | WS_CAPTION, "Host", 0, 0, 320, 120, nullptr, 0};
    const DialogItemTemplate pageItems[] = {
        {1001, WC_STATIC, WS_VISIBLE | SS_LEFT, "", 5, 5, 40, 10},
        {1002, WC_BUTTON, WS_VISIBLE | BS_PUSHBUTTON, "", 5, 20, 30, 14},
    };
    const DialogTemplate page = MakeDialogTemplate(9005, WS_CHILD, "", 0, 0, 300, 100, pageItems);
    CDialog dialog(&host, nullptr);
    ASSERT_TRUE(dialog.Create(&host, nullptr));
    CDialog child(&page, &dialog);
    ASSERT_TRUE(child.Create(&page, &dialog));
    child.GetDlgItem(1001)->SetWindowText(QStringLiteral("A label far too long for its place"));
    child.GetDlgItem(1002)->SetWindowText(QStringLiteral("A caption far too long"));
    child.ShowWindow(SW_SHOW);
    EXPECT_EQ(TextFitFaults(dialog.GetWidget(), true).size(), 2);
    child.ShowWindow(SW_HIDE);
    EXPECT_TRUE(TextFitFaults(dialog.GetWidget(), true).isEmpty());
    EXPECT_EQ(TextFitFaults(dialog.GetWidget()).size(), 2);
    child.DestroyWindow();
    dialog.DestroyWindow();
}

TEST(Dialog, ControlsArePlacedInDialogUnitsAndBoundByDataExchange) {
    TestDialog dialog;
    QRect editRect;
    dialog.onInit = [&](TestDialog& d) {
        editRect = d.edit.GetWidget()->geometry();
        EXPECT_EQ(d.edit.GetWindowText(), "first");
        EXPECT_EQ(d.GetDlgItem(kEdit), &d.edit);
        d.edit.SetWindowText("second");
        auto* check = dynamic_cast<CButton*>(d.GetDlgItem(kCheck));
        ASSERT_NE(check, nullptr);
        EXPECT_EQ(check->GetCheck(), BST_CHECKED);
        check->SetCheck(BST_UNCHECKED);
        d.PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    DialogPixelRect expected = DialogRectToPixels(10, 10, 100, 12);
    EXPECT_EQ(editRect, QRect(expected.x, expected.y, expected.cx, expected.cy));
    EXPECT_EQ(dialog.name, "second");
    EXPECT_EQ(dialog.checked, 0);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_EQ(dialog.events, (std::vector<std::string>{"init", "ok"}));
}

TEST(Dialog, ModalLoopDeliversWorkerPostsAndTimersUntilEndDialog) {
    TestDialog dialog;
    int pings = 0;
    int ticks = 0;
    dialog.onInit = [&](TestDialog& d) {
        d.SetTimer(1, 1);
        std::thread([h = d.m_hWnd] {
            for (int i = 0; i < 3; ++i)
                PostMessage(h, kPing, 0, 0);
        }).join();
    };
    dialog.onMessage = [&](TestDialog& d, UINT message) {
        pings += message == kPing ? 1 : 0;
        ticks += message == WM_TIMER ? 1 : 0;
        if (pings == 3 && ticks >= 2)
            d.EndDialog(77);
    };
    EXPECT_EQ(dialog.DoModal(), 77);
}

TEST(Dialog, EnterAndEscapeRunOnOkAndOnCancel) {
    struct Case {
        Qt::Key key;
        intptr_t result;
        const char* event;
    };
    for (const Case& c : {Case{Qt::Key_Escape, IDCANCEL, "cancel"}, Case{Qt::Key_Return, IDOK, "ok"}}) {
        TestDialog dialog;
        dialog.onInit = [&](TestDialog& d) {
            QWidget* widget = d.GetWidget();
            d.SetTimer(2, 1);
            d.onMessage = [widget, key = c.key](TestDialog& self, UINT message) {
                if (message != WM_TIMER)
                    return;
                self.KillTimer(2);
                QTest::keyClick(widget, key);
            };
        };
        EXPECT_EQ(dialog.DoModal(), c.result) << c.event;
        EXPECT_EQ(dialog.events.back(), c.event);
    }
}

TEST(Dialog, EndDialogDuringInitialisationSkipsTheLoop) {
    TestDialog dialog;
    dialog.onInit = [](TestDialog& d) { d.EndDialog(IDCANCEL); };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST(Dialog, ModelessDialogLivesUntilDestroyed) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(&kTemplate, nullptr));
    EXPECT_EQ(dialog.events, (std::vector<std::string>{"init"}));
    HWND handle = dialog.m_hWnd;
    EXPECT_NE(CWnd::FromHandle(handle), nullptr);
    EXPECT_TRUE(dialog.DestroyWindow());
    EXPECT_EQ(CWnd::FromHandle(handle), nullptr);
}

}  // namespace

namespace {

TEST(Dialog, MainWindowRunAsAModalDialogHasNoOwnerAndSeesItsPosts) {
    TestDialog main;
    AfxGetApp()->m_pMainWnd = &main;
    int walks = 0;
    main.onInit = [&](TestDialog& d) {
        EXPECT_EQ(d.GetParent(), nullptr);
        d.PostMessage(kPing);
    };
    main.onMessage = [&](TestDialog& d, UINT message) {
        if (message == kPing) {
            ++walks;
            d.EndDialog(IDOK);
        }
    };
    EXPECT_EQ(main.DoModal(), IDOK);
    EXPECT_EQ(walks, 1);
    AfxGetApp()->m_pMainWnd = nullptr;
}

}  // namespace

namespace {

constexpr UINT kOffset = 1067;
constexpr UINT kSpin = 1148;
constexpr UINT kList = 1134;

const DialogItemTemplate kBoundItems[] = {
    {kOffset, WC_EDIT, WS_VISIBLE | ES_NUMBER, "", 10, 10, 40, 12},
    {kSpin, WC_UPDOWN, WS_VISIBLE | UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ALIGNRIGHT, "", 50, 10, 10, 12},
    {kList, WC_LISTVIEW, WS_VISIBLE | LVS_REPORT, "", 10, 30, 150, 80},
};
const DialogTemplate kBoundTemplate =
    MakeDialogTemplate(9002, WS_POPUP | WS_CAPTION, "Bound", 0, 0, 180, 120, kBoundItems);

// A list that handles its own item changes, as a check-box list does.
class ReflectingList : public CListCtrl {
public:
    std::vector<int> changed;

protected:
    BOOL OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT* pResult) override {
        auto* nm = reinterpret_cast<NMLISTVIEW*>(lParam);
        if (message != WM_NOTIFY || nm->hdr.code != LVN_ITEMCHANGED)
            return FALSE;
        changed.push_back(nm->iItem);
        *pResult = 0;
        return TRUE;
    }
};

class BoundDialog : public CDialog {
public:
    BoundDialog() : CDialog(&kBoundTemplate, nullptr) {}
    CSpinButtonCtrl spin;
    ReflectingList list;
    int parentSawItemChanged = 0;

    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, kSpin, spin);
        DDX_Control(pDX, kList, list);
    }
    BOOL OnNotify(WPARAM, LPARAM lParam, LRESULT*) override {
        parentSawItemChanged += reinterpret_cast<NMHDR*>(lParam)->code == LVN_ITEMCHANGED ? 1 : 0;
        return TRUE;
    }
};

TEST(Dialog, BoundControlsKeepTheirTemplateStateAndHandleTheirOwnNotifications) {
    BoundDialog dialog;
    ASSERT_TRUE(dialog.Create(&kBoundTemplate, nullptr));
    // The up-down control took the edit before it as its buddy when the dialog was built.
    EXPECT_EQ(dialog.spin.GetBuddy(), dialog.GetDlgItem(kOffset));
    dialog.spin.SetRange32(0, 40);
    dialog.spin.SetPos32(7);
    EXPECT_EQ(dialog.GetDlgItem(kOffset)->GetWindowText(), "7");

    dialog.list.SetExtendedStyle(LVS_EX_CHECKBOXES);
    dialog.list.InsertColumn(0, "Channel", LVCFMT_LEFT, 100);
    dialog.list.InsertItem(0, "1");
    dialog.list.SetCheck(0, TRUE);
    EXPECT_EQ(dialog.list.changed, std::vector<int>{0});
    EXPECT_EQ(dialog.parentSawItemChanged, 0);
    dialog.DestroyWindow();
}

}  // namespace

namespace {

// A framed dialog without a sizing border keeps the size its template or its program gives it: the
// operator cannot drag its frame. A sizing border, or no frame at all, leaves the size free.
TEST(DialogFrame, ModalFrameHasAFixedSizeThatOnlyTheProgramChanges) {
    struct Case {
        const char* name;
        DWORD style;
        bool fixed;
    };
    const Case cases[] = {
        {"caption", WS_POPUP | WS_CAPTION | WS_SYSMENU, true},
        {"caption with sizing border", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, false},
        {"frameless popup", WS_POPUP, false},
    };
    for (const Case& c : cases) {
        const DialogTemplate framed = MakeDialogTemplate(9050, c.style, "Frame", 0, 0, 120, 60, kItems);
        CDialog dialog(&framed, nullptr);
        ASSERT_TRUE(dialog.Create(&framed, nullptr)) << c.name;
        QWidget* w = dialog.GetWidget();
        QSize size = w->size();
        EXPECT_EQ(w->minimumSize() == size && w->maximumSize() == size, c.fixed) << c.name;
        // The program may still size it; a fixed frame stays fixed at the new size.
        dialog.MoveWindow(10, 10, size.width() + 40, size.height() + 20);
        EXPECT_EQ(w->size(), QSize(size.width() + 40, size.height() + 20)) << c.name;
        dialog.SetWindowPos(nullptr, 0, 0, size.width(), size.height(), SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(w->size(), size) << c.name;
        EXPECT_EQ(w->minimumSize() == size && w->maximumSize() == size, c.fixed) << c.name;
        dialog.DestroyWindow();
    }
}

}  // namespace
