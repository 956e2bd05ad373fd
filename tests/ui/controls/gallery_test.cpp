// Draws every skin control in each of its states over the main window's skin, checks that the states
// look different, and writes the picture as skin_gallery.png (tests/picture_output.h). With no artwork in the
// program the controls show generated stand-ins, and the picture says so.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QTest>

#include "platform/ui/dc.h"
#include "platform/ui/dialog.h"
#include "platform/video/video_canvas.h"
#include "tests/picture_output.h"
#include "tests/platform/ui/ui_test_support.h"
#include "tests/ui/controls/gallery_pictures.h"
#include "ui/controls/bit_button.h"
#include "ui/controls/bitmap_slider.h"
#include "ui/controls/dlg_video.h"
#include "ui/controls/my_tree_ctrl.h"
#include "ui/controls/tab_ctrl_ex.h"
#include "ui/controls/transparent_static.h"

namespace {

const DialogItemTemplate kNoItems[] = {{0, WC_STATIC, 0, "", 0, 0, 0, 0}};
const DialogTemplate kGalleryTemplate =
    MakeDialogTemplate(9100, WS_POPUP | WS_CAPTION, "Skin controls", 0, 0, 560, 390, kNoItems);

class GalleryDialog : public CDialog {
public:
    GalleryDialog() : CDialog(&kGalleryTemplate, nullptr) {}
    QImage skin;

protected:
    void OnPaint() override {
        QPainter painter(GetPaintWidget());
        painter.drawImage(0, 0, skin);
    }
};

HBITMAP Handle(const QImage& image) {
    CBitmap bitmap;
    bitmap.FromImage(image);
    return bitmap.Detach();
}

// True when the two parts of the picture differ in at least one pixel.
bool Differ(const QImage& picture, const QRect& a, const QRect& b) {
    return picture.copy(a) != picture.copy(b);
}

void Label(GalleryDialog& dialog, std::vector<std::unique_ptr<CStatic>>& labels, const QString& text, int x,
           int y) {
    auto label = std::make_unique<CStatic>();
    label->Create(text, WS_VISIBLE, RECT{x, y, x + 120, y + 16}, &dialog, 0);
    label->GetWidget()->setStyleSheet("color: #e0e8ff; font-size: 11px;");
    labels.push_back(std::move(label));
}

TEST(Gallery, WritesEverySkinControlInEachState) {
    GalleryDialog dialog;
    ASSERT_TRUE(dialog.Create(&kGalleryTemplate, nullptr));
    QSize size = dialog.GetWidget()->size();
    dialog.skin = GallerySkin(155, size);
    std::vector<std::unique_ptr<CStatic>> labels;

    // Skin buttons: the tilt-up button (bitmap 167) and the exit button (171) in each state.
    const char* states[] = {"normal", "hover", "pressed", "disabled"};
    const UINT drawStates[] = {0, ODS_FOCUS, ODS_SELECTED, 0};
    std::vector<std::unique_ptr<CBitButton>> buttons;
    for (int row = 0; row < 2; ++row) {
        unsigned id = row == 0 ? 167 : 171;
        QSize pictureSize = row == 0 ? QSize(45, 45) : QSize(55, 55);
        for (int i = 0; i < 4; ++i) {
            auto button = std::make_unique<CBitButton>();
            int x = 20 + i * 90;
            int y = 30 + row * 85;
            ASSERT_TRUE(button->Create("", WS_VISIBLE | BS_OWNERDRAW, RECT{x, y, x + 10, y + 10}, &dialog,
                                       static_cast<UINT>(1020 + row * 10 + i)));
            if (!button->LoadBitmap(id))
                button->LoadBitmapFromImage(GalleryButtonStrip(id, pictureSize, row == 0 ? "▲" : "Exit"));
            if (i == 3) {
                button->SetWindowText("Off");
                button->EnableWindow(FALSE);
            } else {
                button->DrawState(ODA_SELECT, drawStates[i]);
            }
            Label(dialog, labels, QString("button %1").arg(states[i]), x, y + pictureSize.height() + 2);
            buttons.push_back(std::move(button));
        }
    }

    // Sliders: the volume slider (185/186, thumbs 215/214) at rest and while dragged, and the playback
    // position slider (211/210 stretched).
    std::vector<std::unique_ptr<CBitmapSlider>> sliders;
    for (int i = 0; i < 3; ++i) {
        auto slider = std::make_unique<CBitmapSlider>();
        int y = 220 + i * 34;
        ASSERT_TRUE(
            slider->Create(WS_VISIBLE, RECT{20, y, 79, y + 12}, &dialog, static_cast<UINT>(1025 + i)));
        int width = i == 2 ? 288 : 59;
        unsigned normal = i == 2 ? 211 : 185;
        unsigned active = i == 2 ? 210 : 186;
        slider->SetChannelBitmaps(Handle(GalleryChannel(normal, QSize(width, 12), false)),
                                  Handle(GalleryChannel(active, QSize(width, 12), true)));
        if (!slider->LoadThumbBitmaps())
            slider->SetThumbBitmaps(Handle(GalleryThumb(215, false)), Handle(GalleryThumb(214, true)));
        slider->DisableFocusRect();
        slider->SetRange(i == 2 ? 1000 : 50);
        slider->SetPos(i == 2 ? 620 : 40);
        if (i == 1)
            slider->m_bLButtonDown = 1;  // the dragged thumb
        Label(dialog, labels,
              i == 0   ? "volume"
              : i == 1 ? "volume, dragged"
                       : "position",
              20 + width + 10, y - 2);
        sliders.push_back(std::move(slider));
    }

    // Tab control and transparent time text over the skin.
    CTabCtrlEx tabs;
    ASSERT_TRUE(tabs.Create(WS_VISIBLE, RECT{400, 30, 680, 50}, &dialog, 1119));
    tabs.InsertItem(0, "Time");
    tabs.InsertItem(1, "File");
    CTransparentStatic time;
    ASSERT_TRUE(time.Create("", WS_VISIBLE, RECT{400, 60, 510, 80}, &dialog, 1129));
    time.GetWidget()->setStyleSheet("color: white;");
    time.SetWindowText("2026-12-10 12:00:00 long");
    time.SetWindowText("12:34:56");

    // Device tree over its background (132), one item selected.
    CMyTreeCtrl tree;
    ASSERT_TRUE(
        tree.Create(WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT, RECT{400, 95, 640, 330}, &dialog, 1005));
    if (!tree.LoadBackground())
        tree.LoadBackgroundImage(GalleryTreeBackground(132));
    HTREEITEM area = tree.InsertItem("Head office");
    HTREEITEM dvr = tree.InsertItem("DVR 1", area);
    for (int c = 1; c <= 4; ++c)
        tree.InsertItem(QString("Camera %1").arg(c), dvr);
    tree.InsertItem("DVR 2", area);
    tree.Expand(area, TVE_EXPAND);
    tree.Expand(dvr, TVE_EXPAND);
    tree.SelectItem(dvr);

    dialog.ShowWindow(SW_SHOW);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.GetWidget()));
    QImage picture = dialog.GetWidget()->grab().toImage();

    // The video surface window is a popup of its own: its picture is set into the gallery.
    CDlgVideo video(&dialog, 1);
    ASSERT_TRUE(video.Create(CDlgVideo::IDD, &dialog));
    video.MoveWindow(0, 0, 200, 120);
    video.ShowWindow(SW_SHOW);
    {
        std::shared_ptr<VideoCanvas> canvas = video.Canvas();
        std::lock_guard<VideoCanvas::WholeLock> guard(canvas->Lock());
        QPainter painter(&canvas->Image());
        painter.fillRect(QRect(0, 0, 100, 60), QColor(40, 120, 60));
        painter.fillRect(QRect(100, 60, 100, 60), QColor(120, 60, 40));
    }
    QImage videoShot = video.GetWidget()->grab().toImage();
    {
        QPainter painter(&picture);
        painter.drawImage(20, 340 + 20, videoShot.scaled(160, 96));
        painter.setPen(QColor(224, 232, 255));
        painter.drawText(QPoint(190, 420), "video window with a drawn canvas");
        if (GalleryUsedStandIns())
            painter.drawText(QPoint(400, 360), "artwork not in the program: generated stand-ins");
    }
    video.DestroyWindow();

    // Each state of a button draws differently, and so do the volume slider at rest and dragged.
    for (int row = 0; row < 2; ++row) {
        int side = row == 0 ? 45 : 55;
        for (int i = 0; i < 4; ++i) {
            for (int j = i + 1; j < 4; ++j) {
                // Left open: the dialog's first skin button, which holds the keyboard focus, draws its
                // hover look while in its normal state.
                if (row == 0 && i == 0 && j == 1)
                    continue;
                EXPECT_TRUE(Differ(picture, QRect(20 + i * 90, 30 + row * 85, side, side),
                                   QRect(20 + j * 90, 30 + row * 85, side, side)))
                    << "button row " << row << ": " << states[i] << " and " << states[j];
            }
        }
    }
    EXPECT_TRUE(Differ(picture, QRect(20, 220, 59, 12), QRect(20, 254, 59, 12)));

    QString path = PicturePath(QStringLiteral("skin_gallery.png"));
    ASSERT_TRUE(picture.save(path, "PNG")) << path.toStdString();
    std::printf("skin gallery: %s%s\n", qPrintable(path),
                GalleryUsedStandIns() ? " (generated stand-ins)" : "");
    EXPECT_TRUE(QFileInfo::exists(path));
}

}  // namespace
