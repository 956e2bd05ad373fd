// Enter in every dialog of the client and of the updater presses the button drawn as the default one:
// once the dialog is shown, with the focus on each push button and with the focus on every other control.
// A page (a child dialog) is shown inside a bare dialog of its own, as the program shows its pages.

#include <gtest/gtest.h>

#include <QAbstractSpinBox>
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <vector>

#include "platform/ui/dialog.h"
#include "platform/ui/ui_styles.h"
#include "resources/dialogs/dialog_templates.h"
#include "tests/platform/ui/ui_test_support.h"
#include "updater/updater_dialog_templates.h"

namespace {

struct Press {
    const CWnd* dialog;
    UINT id;
    bool operator==(const Press&) const = default;
};

// A dialog that only records the buttons pressed in it; nothing ends it.
class RecordingDialog : public CDialog {
public:
    RecordingDialog(const DialogTemplate* t, std::vector<Press>* log) : CDialog(t, nullptr), m_log(log) {}

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM) override {
        if (HIWORD(wParam) == BN_CLICKED)
            m_log->push_back({this, LOWORD(wParam)});
        return TRUE;
    }

private:
    std::vector<Press>* m_log;
};

const DialogTemplate kPageHost = {9100, WS_POPUP | WS_CAPTION, "Host", 0, 0, 500, 400, nullptr, 0};

std::vector<const DialogTemplate*> EveryTemplate() {
    std::vector<const DialogTemplate*> all(AllDialogTemplates().begin(), AllDialogTemplates().end());
    all.push_back(&kUpdaterDialogTemplate);
    all.push_back(&kRetryDialogTemplate);
    return all;
}

// The push buttons of the window drawn as the default one that can be pressed (shown, enabled, default).
std::vector<QPushButton*> DrawnDefaults(QWidget* window) {
    std::vector<QPushButton*> drawn;
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        if (button->isVisible() && button->isEnabled() && button->isDefault())
            drawn.push_back(button);
    }
    return drawn;
}

// Controls that take Enter themselves, as on the platform the program was made for.
bool TakesEnter(QWidget* widget) {
    return qobject_cast<QTextEdit*>(widget) != nullptr || qobject_cast<QPlainTextEdit*>(widget) != nullptr;
}

// Presses Enter on the focused control and checks that exactly the drawn default button was pressed (or,
// with none drawn, that no shown button was). what names the dialog and the focus in failures.
void ExpectEnterPressesDrawnDefault(QWidget* window, std::vector<Press>& log, const std::string& what) {
    QWidget* focus = QApplication::focusWidget();
    std::vector<QPushButton*> drawn = DrawnDefaults(window);
    ASSERT_LE(drawn.size(), 1u) << what;
    if (focus != nullptr && TakesEnter(focus))
        return;
    if (auto* pushButton = qobject_cast<QPushButton*>(focus)) {
        EXPECT_EQ(drawn, std::vector<QPushButton*>{pushButton})
            << what << ": a focused push button is the default";
    }
    log.clear();
    QTest::keyClick(focus != nullptr ? focus : window, Qt::Key_Return);
    DrainPostedEvents();
    if (drawn.empty()) {
        // No push button shows itself as the default, so Enter presses none. (An owner-drawn button, as
        // the login dialog's OK, draws itself: Enter may press it as the dialog's default.)
        for (const Press& press : log) {
            CWnd* item = const_cast<CWnd*>(press.dialog)->GetDlgItem(press.id);
            auto* pushButton = item != nullptr ? qobject_cast<QPushButton*>(item->GetWidget()) : nullptr;
            EXPECT_TRUE(pushButton == nullptr || !pushButton->isVisible())
                << what << ": pressed " << press.id;
        }
        return;
    }
    ASSERT_EQ(log.size(), 1u) << what << ": Enter pressed " << log.size() << " buttons";
    QWidget* pressed = const_cast<CWnd*>(log[0].dialog)->GetDlgItem(log[0].id) != nullptr
                           ? const_cast<CWnd*>(log[0].dialog)->GetDlgItem(log[0].id)->GetWidget()
                           : nullptr;
    EXPECT_EQ(pressed, drawn[0]) << what << ": pressed " << log[0].id << ", drawn "
                                 << drawn[0]->text().toStdString();
}

TEST(DefaultButton, EnterPressesTheButtonDrawnAsDefaultInEveryDialog) {
    int checked = 0;
    for (const DialogTemplate* t : EveryTemplate()) {
        std::vector<Press> log;
        const bool page = (t->style & WS_CHILD) != 0;
        RecordingDialog host(&kPageHost, &log);
        RecordingDialog dialog(t, &log);
        if (page) {
            ASSERT_TRUE(host.Create(&kPageHost, nullptr)) << t->id;
            ASSERT_TRUE(dialog.Create(t, &host)) << t->id;
            dialog.ShowWindow(SW_SHOW);
        } else {
            ASSERT_TRUE(dialog.Create(t, nullptr)) << t->id;
        }
        CWnd& top = page ? static_cast<CWnd&>(host) : dialog;
        QWidget* window = top.GetWidget();
        top.ShowWindow(SW_SHOW);
        window->activateWindow();
        ASSERT_TRUE(WaitUntil([&] { return window->isActiveWindow(); })) << t->id;
        const std::string name = "dialog " + std::to_string(t->id);
        ExpectEnterPressesDrawnDefault(window, log, name + " as shown");

        std::vector<QWidget*> focusable;
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            if (widget->isVisible() && widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus) &&
                widget->focusProxy() == nullptr)
                focusable.push_back(widget);
        }
        for (QWidget* widget : focusable) {
            widget->setFocus(Qt::TabFocusReason);
            if (!WaitUntil([&] { return QApplication::focusWidget() == widget; }, 1000))
                continue;
            ExpectEnterPressesDrawnDefault(window, log,
                                           name + " focus on " + widget->metaObject()->className() + " " +
                                               widget->objectName().toStdString());
            ++checked;
        }
        dialog.DestroyWindow();
        host.DestroyWindow();
    }
    EXPECT_GT(checked, 20);
}

// The updater's case: the default button is hidden while the focus is on Cancel, then shown. Enter
// presses what is drawn: Cancel while it has the focus, and the shown button once it has it; focus on a
// control that is not a push button gives the default back to the dialog's default button.
TEST(DefaultButton, FocusMovesTheDefaultAndHiddenDefaultIsNotPressed) {
    const DialogItemTemplate items[] = {
        {1000, WC_EDIT, WS_CHILD | WS_VISIBLE | WS_TABSTOP, "", 7, 7, 100, 12},
        {IDOK, WC_BUTTON, WS_CHILD | WS_TABSTOP | BS_DEFPUSHBUTTON, "Go", 7, 30, 50, 14},
        {IDCANCEL, WC_BUTTON, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, "Stop", 60, 30, 50, 14},
    };
    const DialogTemplate t = MakeDialogTemplate(9101, WS_POPUP | WS_CAPTION, "Case", 0, 0, 120, 50, items);
    std::vector<Press> log;
    RecordingDialog dialog(&t, &log);
    ASSERT_TRUE(dialog.Create(&t, nullptr));
    dialog.ShowWindow(SW_SHOW);
    QWidget* window = dialog.GetWidget();
    window->activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return window->isActiveWindow(); }));
    auto* go = qobject_cast<QPushButton*>(dialog.GetDlgItem(IDOK)->GetWidget());
    auto* stop = qobject_cast<QPushButton*>(dialog.GetDlgItem(IDCANCEL)->GetWidget());
    QWidget* edit = dialog.GetDlgItem(1000)->GetWidget();
    ASSERT_NE(go, nullptr);
    ASSERT_NE(stop, nullptr);
    auto enter = [&](QWidget* focus) {
        focus->setFocus(Qt::TabFocusReason);
        EXPECT_TRUE(WaitUntil([&] { return QApplication::focusWidget() == focus; }));
        log.clear();
        QTest::keyClick(focus, Qt::Key_Return);
        DrainPostedEvents();
        std::vector<UINT> ids;
        for (const Press& press : log)
            ids.push_back(press.id);
        return ids;
    };
    // The hidden default button is not pressed from the edit.
    EXPECT_EQ(enter(edit), std::vector<UINT>());
    EXPECT_EQ(enter(stop), std::vector<UINT>{IDCANCEL});
    EXPECT_TRUE(stop->isDefault());
    EXPECT_FALSE(go->isDefault());
    // Shown and given the focus, the default button is drawn and pressed.
    dialog.GetDlgItem(IDOK)->ShowWindow(SW_SHOW);
    EXPECT_EQ(enter(go), std::vector<UINT>{IDOK});
    EXPECT_TRUE(go->isDefault());
    EXPECT_FALSE(stop->isDefault());
    // Focus on Stop, then on the edit: the default goes back to Go, which Enter presses.
    EXPECT_EQ(enter(stop), std::vector<UINT>{IDCANCEL});
    EXPECT_EQ(enter(edit), std::vector<UINT>{IDOK});
    EXPECT_TRUE(go->isDefault());
    EXPECT_FALSE(stop->isDefault());
    // Disabled, it is not pressed.
    dialog.GetDlgItem(IDOK)->EnableWindow(FALSE);
    EXPECT_EQ(enter(edit), std::vector<UINT>());
    dialog.DestroyWindow();
}

}  // namespace
