// The video window's canvas: a drawing thread finds it by the window's handle, draws under its lock and
// asks for a repaint from its own thread; the window paints the picture.

#include <gtest/gtest.h>

#include <QTest>
#include <thread>

#include "platform/video/video_canvas.h"
#include "tests/platform/ui/ui_test_support.h"
#include "ui/controls/dlg_video.h"

namespace {

TEST(VideoCanvas, CanvasDrawnByAWorkerIsPaintedByTheWindow) {
    std::vector<SeenMessage> log;
    RecordingWnd parent("parent", &log);
    ASSERT_TRUE(parent.CreateTest(nullptr, 0));
    CDlgVideo video(&parent, 1);
    ASSERT_TRUE(video.Create(CDlgVideo::IDD, &parent));
    video.MoveWindow(0, 0, 320, 240);
    video.ShowWindow(SW_SHOW);
    QWidget* widget = video.GetWidget();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(widget));
    QImage before = widget->grab().toImage();
    EXPECT_EQ(QColor(before.pixel(300, 200)), QColor(0, 0, 0));  // the canvas starts black
    HWND hwnd = video.m_hWnd;
    std::thread drawer([hwnd] {
        std::shared_ptr<VideoCanvas> canvas = FindWindowCanvas(hwnd);
        ASSERT_NE(canvas, nullptr);
        {
            std::lock_guard<VideoCanvas::WholeLock> guard(canvas->Lock());
            canvas->Image().fill(QColor(10, 200, 30));
        }
        canvas->RequestRepaint();
        canvas->RequestRepaint();  // folded into the first
    });
    drawer.join();
    ASSERT_TRUE(
        WaitUntil([&] { return QColor(widget->grab().toImage().pixel(5, 5)) == QColor(10, 200, 30); }));
    video.DestroyWindow();
    EXPECT_EQ(FindWindowCanvas(hwnd), nullptr);
}

}  // namespace
