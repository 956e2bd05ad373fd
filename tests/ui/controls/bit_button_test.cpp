// The skin button: its pictures, and the order of its press, release and click reports for each way a
// press can end. Every press is reported released exactly once; a click comes only from a release inside.

#include <gtest/gtest.h>

#include <QApplication>
#include <QProxyStyle>
#include <QTest>
#include <QToolTip>

#include "core/window_messages.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/dialog.h"
#include "platform/ui/dialog_font.h"
#include "tests/platform/ui/ui_test_support.h"
#include "ui/controls/bit_button.h"
#include "ui/controls/bitmap_slider.h"

namespace {

constexpr UINT kId = 1020;
constexpr QRgb kNormal = 0xFFFF0000;
constexpr QRgb kHover = 0xFF00FF00;
constexpr QRgb kPressed = 0xFF0000FF;

// Three 40 x 20 pictures: red, green, blue.
QImage Strip(int width = 120, int height = 20) {
    QImage strip(width, height, QImage::Format_RGB32);
    for (int x = 0; x < width; ++x) {
        QRgb colour = x < width / 3 ? kNormal : x < 2 * (width / 3) ? kHover : kPressed;
        for (int y = 0; y < height; ++y)
            strip.setPixel(x, y, colour);
    }
    return strip;
}

class BitButtonTest : public ::testing::Test {
public:
    void SetUp() override {
        ASSERT_TRUE(parent.CreateTest(nullptr, 0));
        parent.GetWidget()->resize(300, 200);
        ASSERT_TRUE(button.Create("", WS_VISIBLE | BS_OWNERDRAW, RECT{50, 50, 90, 70}, &parent, kId));
        ASSERT_EQ(button.LoadBitmapFromImage(Strip()), 1);
        parent.ShowWindow(SW_SHOW);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(parent.GetWidget()));
        // A focused button shows its hover picture; the cases start from an unfocused one.
        W()->clearFocus();
        log.clear();
    }

    // The reports the parent heard: "down", "up", "click".
    std::vector<std::string> Reports() const {
        std::vector<std::string> out;
        for (const SeenMessage& m : log) {
            if (m.who != "parent")
                continue;
            if (m.message == WM_BITBUTTON_DOWN && m.wParam == kId)
                out.push_back("down");
            else if (m.message == WM_BITBUTTON_UP && m.wParam == kId)
                out.push_back("up");
            else if (m.message == WM_COMMAND && m.wParam == MAKEWPARAM(kId, BN_CLICKED))
                out.push_back("click");
        }
        return out;
    }
    QRgb FacePixel() const { return button.Face().pixel(5, 5); }
    QWidget* W() { return button.GetWidget(); }

    std::vector<SeenMessage> log;
    RecordingWnd parent{"parent", &log};
    CBitButton button;
};

TEST_F(BitButtonTest, PicturesAreThirdsOfTheStrip) {
    EXPECT_EQ(button.m_nWidth, 40);
    EXPECT_EQ(W()->size(), QSize(40, 20));
    CBitButton odd;
    ASSERT_TRUE(odd.Create("", WS_VISIBLE | BS_OWNERDRAW, RECT{0, 0, 10, 10}, &parent, 7));
    ASSERT_EQ(odd.LoadBitmapFromImage(Strip(148, 20)), 1);
    EXPECT_EQ(odd.m_nWidth, 49);  // the remainder on the right is dropped
    EXPECT_EQ(odd.LoadBitmap(999999), 0);
    EXPECT_TRUE(odd.m_bitmap.IsNull());
}

TEST_F(BitButtonTest, HoverAlternatesWithNormalAndPressShowsThePressedPicture) {
    EXPECT_EQ(FacePixel(), kNormal);
    QTest::mouseMove(W(), QPoint(10, 10));
    EXPECT_EQ(button.m_nState, BITBUTTON_STATE_HOVER);
    EXPECT_EQ(FacePixel(), kHover);
    QTest::mouseMove(W(), QPoint(12, 10));
    EXPECT_EQ(button.m_nState, BITBUTTON_STATE_NORMAL);
    EXPECT_EQ(FacePixel(), kNormal);
    QTest::mousePress(W(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(button.m_nState, BITBUTTON_STATE_PRESSED);
    EXPECT_EQ(FacePixel(), kPressed);
    QTest::mouseRelease(W(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(button.m_nState, BITBUTTON_STATE_NORMAL);
}

TEST_F(BitButtonTest, DisabledButtonShowsTheFirstPictureWithGreyText) {
    button.SetWindowText("A");
    button.EnableWindow(FALSE);
    EXPECT_EQ(button.m_nState, BITBUTTON_STATE_DISABLED);
    EXPECT_EQ(FacePixel(), kNormal);
    bool grey = false;
    const QImage& face = button.Face();
    for (int y = 0; y < face.height() && !grey; ++y) {
        for (int x = 0; x < face.width() && !grey; ++x)
            grey = qRed(face.pixel(x, y)) < 200 && qGreen(face.pixel(x, y)) > 60;
    }
    EXPECT_TRUE(grey) << "the text is drawn in the grey-text colour";
}

TEST_F(BitButtonTest, NewTextIsDrawnOverThePictureAtOnce) {
    QImage plain = button.Face().copy();
    button.SetWindowText("OK");
    EXPECT_NE(button.Face(), plain);
    button.SetWindowText("");
    EXPECT_EQ(button.Face(), plain);
}

struct Sequence {
    const char* name;
    std::function<void(BitButtonTest&, QWidget*)> run;
    std::vector<std::string> reports;
};

TEST_F(BitButtonTest, EveryPressEndsWithOneReleaseAndClicksOnlyInside) {
    const QPoint in(10, 10);
    const QPoint out(100, 100);
    const std::vector<Sequence> sequences = {
        {"press and release",
         [&](BitButtonTest&, QWidget* w) {
             QTest::mousePress(w, Qt::LeftButton, {}, in);
             QTest::mouseRelease(w, Qt::LeftButton, {}, in);
         },
         {"down", "up", "click"}},
        {"release on the far edge counts as inside",
         [&](BitButtonTest&, QWidget* w) {
             QTest::mousePress(w, Qt::LeftButton, {}, in);
             QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(40, 20));
         },
         {"down", "up", "click"}},
        {"moved off and released outside",
         [&](BitButtonTest&, QWidget* w) {
             QTest::mousePress(w, Qt::LeftButton, {}, in);
             QTest::mouseMove(w, out);
             QTest::mouseRelease(w, Qt::LeftButton, {}, out);
         },
         {"down", "up"}},
        {"released outside without a move",
         [&](BitButtonTest&, QWidget* w) {
             QTest::mousePress(w, Qt::LeftButton, {}, in);
             QTest::mouseRelease(w, Qt::LeftButton, {}, out);
         },
         {"down", "up"}},
        {"moved off and back in",
         [&](BitButtonTest&, QWidget* w) {
             QTest::mousePress(w, Qt::LeftButton, {}, in);
             QTest::mouseMove(w, out);
             QTest::mouseMove(w, in);
             QTest::mouseRelease(w, Qt::LeftButton, {}, in);
         },
         {"down", "up", "click"}},
        {"two quick clicks: the second press comes as a double click",
         [&](BitButtonTest&, QWidget* w) {
             QTest::mousePress(w, Qt::LeftButton, {}, in);
             QTest::mouseRelease(w, Qt::LeftButton, {}, in);
             QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(in), w->mapToGlobal(QPointF(in)),
                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
             QCoreApplication::sendEvent(w, &second);
             QTest::mouseRelease(w, Qt::LeftButton, {}, in);
         },
         {"down", "up", "click", "down", "up", "click"}},
        {"disabled while held",
         [&](BitButtonTest& t, QWidget* w) {
             QTest::mousePress(w, Qt::LeftButton, {}, in);
             t.button.EnableWindow(FALSE);
             QTest::mouseRelease(w, Qt::LeftButton, {}, in);
             t.button.EnableWindow(TRUE);
         },
         {"down", "up"}},
        {"hidden while held",
         [&](BitButtonTest& t, QWidget* w) {
             QTest::mousePress(w, Qt::LeftButton, {}, in);
             t.button.ShowWindow(SW_HIDE);
             QTest::mouseRelease(w, Qt::LeftButton, {}, in);
             t.button.ShowWindow(SW_SHOW);
         },
         {"down", "up"}},
        {"parent window hidden while held",
         [&](BitButtonTest& t, QWidget* w) {
             QTest::mousePress(w, Qt::LeftButton, {}, in);
             t.parent.ShowWindow(SW_HIDE);
             t.parent.ShowWindow(SW_SHOW);
             QTest::mouseRelease(w, Qt::LeftButton, {}, in);
         },
         {"down", "up"}},
        {"capture taken by another window",
         [&](BitButtonTest& t, QWidget* w) {
             QTest::mousePress(w, Qt::LeftButton, {}, in);
             t.parent.SetCapture();
             ReleaseCapture();
             QTest::mouseRelease(w, Qt::LeftButton, {}, in);
         },
         {"down", "up"}},
        {"window deactivated while held",
         [&](BitButtonTest&, QWidget* w) {
             QTest::mousePress(w, Qt::LeftButton, {}, in);
             QEvent deactivate(QEvent::WindowDeactivate);
             QCoreApplication::sendEvent(w, &deactivate);
             QTest::mouseRelease(w, Qt::LeftButton, {}, in);
         },
         {"down", "up"}},
    };
    for (const Sequence& s : sequences) {
        log.clear();
        s.run(*this, W());
        EXPECT_EQ(Reports(), s.reports) << s.name;
        EXPECT_EQ(CWnd::GetCapture(), nullptr) << s.name;
        // Leave the button idle for the next sequence.
        QTest::mouseMove(W(), out);
        if (button.m_bHover)
            QTest::mouseMove(W(), out);
    }
}

TEST_F(BitButtonTest, ParentHearsTheReleaseBeforeTheClick) {
    std::vector<std::string> order;
    parent.onMessage = [&](UINT message, WPARAM, LPARAM) {
        if (message == WM_BITBUTTON_UP)
            order.push_back("up");
        if (message == WM_COMMAND)
            order.push_back("click");
    };
    QTest::mouseClick(W(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(order, (std::vector<std::string>{"up", "click"}));
}

TEST_F(BitButtonTest, ToolTipShowsOnlyAfterItsTextIsSet) {
    EXPECT_TRUE(W()->toolTip().isEmpty());
    button.SetToolTipText("Tilt up");
    EXPECT_TRUE(W()->toolTip().contains("Tilt up"));
    button.SetToolTipText("Haut");
    EXPECT_TRUE(W()->toolTip().contains("Haut"));
    EXPECT_EQ(button.m_toolTip.GetToolCount(), 1);
}

// The platform's own tips wait for the style's wake-up delay; the button's style here makes that far
// longer than any wait of the test, so a tip that shows comes from the button's own 200 ms delay.
class SlowTipStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* answer) const override {
        if (hint == QStyle::SH_ToolTip_WakeUpDelay)
            return 60000;
        return QProxyStyle::styleHint(hint, option, widget, answer);
    }
};

TEST_F(BitButtonTest, ToolTipAppearsAfterTheButtonsOwnDelayAndGoesWithThePointer) {
    SlowTipStyle style;
    W()->setStyle(&style);
    button.SetToolTipText("Tilt up");
    QTest::mouseMove(W(), QPoint(10, 10));
    EXPECT_FALSE(QToolTip::isVisible());
    ASSERT_TRUE(WaitUntil([] { return QToolTip::isVisible(); }, 3000));
    EXPECT_TRUE(QToolTip::text().contains("Tilt up"));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(W(), &leave);
    EXPECT_TRUE(WaitUntil([] { return !QToolTip::isVisible(); }, 3000));
    W()->setStyle(nullptr);
}

}  // namespace

namespace {

TEST_F(BitButtonTest, PointerLeavingAHoveredButtonShowsTheNormalPicture) {
    QTest::mouseMove(W(), QPoint(10, 10));
    ASSERT_EQ(button.m_nState, BITBUTTON_STATE_HOVER);
    EXPECT_EQ(CWnd::GetCapture(), &button);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(W(), &leave);
    EXPECT_EQ(button.m_nState, BITBUTTON_STATE_NORMAL);
    EXPECT_EQ(button.m_bHover, 0);
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
}

}  // namespace

namespace {

const DialogItemTemplate kPanelItems[] = {
    {1020, WC_BUTTON, WS_VISIBLE | BS_OWNERDRAW, "", 10, 10, 30, 30},
    {1025, WC_TRACKBAR, WS_VISIBLE, "", 10, 50, 40, 8},
};
const DialogTemplate kPanel =
    MakeDialogTemplate(9200, WS_POPUP | WS_CAPTION, "Panel", 0, 0, 120, 80, kPanelItems);

// A dialog that binds the skin controls to its template's controls, as every dialog of the program does.
class PanelDialog : public CDialog {
public:
    PanelDialog() : CDialog(&kPanel, nullptr) {}
    CBitButton tiltUp;
    CBitmapSlider volume;
    std::vector<std::string> heard;

    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, 1020, tiltUp);
        DDX_Control(pDX, 1025, volume);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        tiltUp.LoadBitmapFromImage(Strip());
        return TRUE;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_BITBUTTON_DOWN)
            heard.push_back("down " + std::to_string(wParam));
        if (message == WM_BITBUTTON_UP)
            heard.push_back("up " + std::to_string(wParam));
        if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == 1020)
            heard.push_back("click");
        if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL))
            heard.push_back(LOWORD(wParam) == IDOK ? "ok" : "cancel");
        return CDialog::WindowProc(message, wParam, lParam);
    }
};

TEST(SkinControlsInDialogs, BoundControlsTakeTheTemplatesPlaceAndReportToTheDialog) {
    PanelDialog dialog;
    ASSERT_TRUE(dialog.Create(&kPanel, nullptr));
    dialog.ShowWindow(SW_SHOW);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.GetWidget()));
    EXPECT_EQ(dialog.GetDlgItem(1020), &dialog.tiltUp);
    EXPECT_EQ(dialog.GetDlgItem(1025), &dialog.volume);
    DialogPixelRect place = DialogRectToPixels(10, 10, 30, 30);
    EXPECT_EQ(dialog.tiltUp.GetWidget()->pos(), QPoint(place.x, place.y));
    EXPECT_EQ(dialog.tiltUp.GetWidget()->size(), QSize(40, 20));  // sized to its picture
    QTest::mouseClick(dialog.tiltUp.GetWidget(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(dialog.heard, (std::vector<std::string>{"down 1020", "up 1020", "click"}));
    dialog.DestroyWindow();
}

// A focused slider takes every key but Tab: Return and Escape reach it, not the dialog's OK and Cancel.
TEST(SkinControlsInDialogs, FocusedSliderKeepsReturnAndEscapeFromTheDialog) {
    PanelDialog dialog;
    ASSERT_TRUE(dialog.Create(&kPanel, nullptr));
    dialog.volume.SetRange(10);
    dialog.volume.SetPos(5);
    dialog.ShowWindow(SW_SHOW);
    dialog.GetWidget()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.GetWidget()));
    dialog.volume.SetFocus();
    ASSERT_EQ(QApplication::focusWidget(), dialog.volume.GetWidget());
    struct Case {
        Qt::Key key;
        int pos;
    };
    const Case cases[] = {{Qt::Key_Return, 5}, {Qt::Key_Escape, 5}, {Qt::Key_Enter, 5}, {Qt::Key_Right, 6}};
    for (const Case& c : cases) {
        QTest::keyClick(dialog.volume.GetWidget(), c.key);
        EXPECT_EQ(dialog.volume.GetPos(), c.pos) << c.key;
    }
    EXPECT_TRUE(dialog.heard.empty()) << dialog.heard.front();
    EXPECT_TRUE(dialog.IsWindowVisible());
    dialog.DestroyWindow();
}

}  // namespace

namespace {

TEST_F(BitButtonTest, ButtonDestroyedWhileHeldReportsTheRelease) {
    QTest::mousePress(W(), Qt::LeftButton, {}, QPoint(10, 10));
    button.DestroyWindow();
    EXPECT_EQ(Reports(), (std::vector<std::string>{"down", "up"}));
    QTest::mouseRelease(parent.GetWidget(), Qt::LeftButton, {}, QPoint(1, 1));
}

}  // namespace
