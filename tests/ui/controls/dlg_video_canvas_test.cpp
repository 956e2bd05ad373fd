// The video window's canvas: a drawing thread finds it by the window's handle, draws under its lock and
// asks for a repaint from its own thread; the window paints the picture.

#include <gtest/gtest.h>

#include <QPaintEvent>
#include <QTest>
#include <atomic>
#include <chrono>
#include <thread>

#include "platform/video/video_canvas.h"
#include "tests/platform/ui/ui_test_support.h"
#include "ui/controls/dlg_video.h"

namespace {

// A 320 x 240 video window on screen, with its owner.
class VideoCanvasTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(parent.CreateTest(nullptr, 0));
        ASSERT_TRUE(video.Create(CDlgVideo::IDD, &parent));
        video.MoveWindow(0, 0, 320, 240);
        video.ShowWindow(SW_SHOW);
        widget = video.GetWidget();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(widget));
    }
    std::vector<SeenMessage> log;
    RecordingWnd parent{"parent", &log};
    CDlgVideo video{&parent, 1};
    QWidget* widget = nullptr;
};

TEST_F(VideoCanvasTest, CanvasDrawnByAWorkerIsPaintedByTheWindow) {
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

// Records the region of every paint of a widget.
class PaintRegions : public QObject {
public:
    QRegion painted;
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent*>(event)->region();
            ++paints;
        }
        return false;
    }
};

TEST_F(VideoCanvasTest, OnlyTheRectanglesDrawnAreRepainted) {
    QCoreApplication::processEvents();
    PaintRegions regions;
    widget->installEventFilter(&regions);
    HWND hwnd = video.m_hWnd;
    const QRect cells[] = {QRect(10, 10, 40, 30), QRect(200, 100, 60, 50)};
    std::thread drawer([hwnd, &cells] {
        std::shared_ptr<VideoCanvas> canvas = FindWindowCanvas(hwnd);
        ASSERT_NE(canvas, nullptr);
        for (const QRect& cell : cells) {
            {
                std::lock_guard<VideoCanvas::WholeLock> guard(canvas->Lock());
                for (int y = cell.top(); y <= cell.bottom(); ++y)
                    for (int x = cell.left(); x <= cell.right(); ++x)
                        canvas->Image().setPixel(x, y, qRgb(200, 20, 40));
            }
            canvas->RequestRepaint(cell);
        }
    });
    drawer.join();
    const QRegion drawn = QRegion(cells[0]) + QRegion(cells[1]);
    ASSERT_TRUE(WaitUntil([&] { return (drawn - regions.painted).isEmpty(); }));
    EXPECT_EQ(regions.painted - drawn, QRegion());
    widget->removeEventFilter(&regions);
    QImage shown = widget->grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(20, 20)), QColor(200, 20, 40));
    EXPECT_EQ(QColor(shown.pixel(250, 140)), QColor(200, 20, 40));
    EXPECT_EQ(QColor(shown.pixel(100, 100)), QColor(0, 0, 0));
    video.DestroyWindow();
}

// Pictures drawn faster than a screen shows them are repainted together, at most once a paint interval
// (20 ms), and the last of them is on screen in the end.
TEST_F(VideoCanvasTest, RepaintsComeAtMostOnceAPaintInterval) {
    QCoreApplication::processEvents();
    PaintRegions regions;
    widget->installEventFilter(&regions);
    HWND hwnd = video.m_hWnd;
    std::atomic<bool> drawing{true};
    auto start = std::chrono::steady_clock::now();
    std::thread drawer([hwnd, &drawing] {
        std::shared_ptr<VideoCanvas> canvas = FindWindowCanvas(hwnd);
        for (int i = 0; i < 150; ++i) {
            {
                std::lock_guard<VideoCanvas::WholeLock> guard(canvas->Lock());
                canvas->Image().setPixel(i % 300, 10, qRgb(255, 255, 0));
            }
            canvas->RequestRepaint(QRect(i % 300, 10, 1, 1));
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        drawing = false;
    });
    WaitUntil([&] { return !drawing.load(); });
    drawer.join();
    ASSERT_TRUE(WaitUntil([&] { return regions.painted.contains(QPoint(149, 10)); }));
    auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    widget->removeEventFilter(&regions);
    EXPECT_LE(regions.paints, elapsed.count() / 20 + 2) << "in " << elapsed.count() << " ms";
    EXPECT_EQ(QColor(widget->grab().toImage().pixel(149, 10)), QColor(255, 255, 0));
}

}  // namespace
