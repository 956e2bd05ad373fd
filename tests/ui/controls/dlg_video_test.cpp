// The video surface window: clicks for its parent, PTZ steps from a left drag, the stop that ends every
// drag, and the canvas that drawing threads fill.

#include <gtest/gtest.h>

#include <QTest>
#include <QWheelEvent>

#include "core/window_messages.h"
#include "tests/platform/ui/ui_test_support.h"
#include "ui/controls/dlg_video.h"

namespace {

class VideoTest : public ::testing::Test {
public:
    void Make(int ptzByMouse) {
        ASSERT_TRUE(parent.CreateTest(nullptr, 0));
        video = std::make_unique<CDlgVideo>(&parent, ptzByMouse);
        video->SetPtzHandler([this](int command) { ptz.push_back(command); });
        ASSERT_TRUE(video->Create(CDlgVideo::IDD, &parent));
        video->MoveWindow(0, 0, 320, 240);
        video->ShowWindow(SW_SHOW);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(W()));
    }
    void TearDown() override { video.reset(); }
    QWidget* W() { return video->GetWidget(); }
    std::vector<std::pair<UINT, LPARAM>> Posts() {
        DrainPostedEvents();
        std::vector<std::pair<UINT, LPARAM>> out;
        for (const SeenMessage& m : log) {
            if (m.who == "parent" && m.message >= WM_VIDEO_CLICK && m.message <= WM_VIDEO_RCLICK)
                out.push_back({m.message, m.lParam});
        }
        log.clear();
        return out;
    }

    std::vector<SeenMessage> log;
    RecordingWnd parent{"parent", &log};
    std::unique_ptr<CDlgVideo> video;
    std::vector<int> ptz;
};
using V = CDlgVideo;

TEST_F(VideoTest, ClickPostsItsPointAndTheReleaseStopsTheCamera) {
    Make(1);
    QTest::mousePress(W(), Qt::LeftButton, {}, QPoint(30, 20));
    EXPECT_EQ(Posts(), (std::vector<std::pair<UINT, LPARAM>>{{WM_VIDEO_CLICK, (20 << 16) | 30}}));
    QTest::mouseRelease(W(), Qt::LeftButton, {}, QPoint(30, 20));
    EXPECT_EQ(ptz, (std::vector<int>{V::kPtzStop}));
}

TEST_F(VideoTest, DragStepsNeedMoreThanNinePixelsAndPanComesFirst) {
    Make(1);
    QTest::mousePress(W(), Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(W(), QPoint(109, 100));  // 9: nothing
    QTest::mouseMove(W(), QPoint(110, 100));  // 10: right
    QTest::mouseMove(W(), QPoint(99, 100));   // left
    QTest::mouseMove(W(), QPoint(99, 89));    // up
    QTest::mouseMove(W(), QPoint(99, 100));   // down
    QTest::mouseMove(W(), QPoint(120, 120));  // diagonal: pan only
    QWheelEvent wheel(QPointF(120, 120), QPointF(W()->mapToGlobal(QPoint(120, 120))), QPoint(),
                      QPoint(0, 120), Qt::LeftButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(W(), &wheel);
    QTest::mouseRelease(W(), Qt::LeftButton, {}, QPoint(120, 120));
    EXPECT_EQ(ptz, (std::vector<int>{V::kPtzPanRight, V::kPtzPanLeft, V::kPtzTiltUp, V::kPtzTiltDown,
                                     V::kPtzPanRight, V::kPtzZoomIn, V::kPtzStop}));
    ptz.clear();
    QCoreApplication::sendEvent(W(), &wheel);  // no held button: no zoom
    EXPECT_TRUE(ptz.empty());
}

TEST_F(VideoTest, EveryDragEndsWithAStop) {
    Make(1);
    struct Ending {
        const char* name;
        std::function<void(VideoTest&)> end;
    };
    const Ending endings[] = {
        {"released outside",
         [](VideoTest& t) { QTest::mouseRelease(t.W(), Qt::LeftButton, {}, QPoint(900, 900)); }},
        {"hidden",
         [](VideoTest& t) {
             t.video->ShowWindow(SW_HIDE);
             t.video->ShowWindow(SW_SHOW);
             QTest::mouseRelease(t.W(), Qt::LeftButton, {}, QPoint(50, 50));
         }},
        {"disabled",
         [](VideoTest& t) {
             t.video->EnableWindow(FALSE);
             t.video->EnableWindow(TRUE);
             QTest::mouseRelease(t.W(), Qt::LeftButton, {}, QPoint(50, 50));
         }},
        {"release never seen",
         [](VideoTest& t) {
             // The next move arrives without the button held.
             QMouseEvent move(QEvent::MouseMove, QPointF(60, 60), QPointF(t.W()->mapToGlobal(QPoint(60, 60))),
                              Qt::NoButton, Qt::NoButton, Qt::NoModifier);
             QCoreApplication::sendEvent(t.W(), &move);
             QTest::mouseRelease(t.W(), Qt::LeftButton, {}, QPoint(60, 60));
         }},
    };
    for (const Ending& e : endings) {
        ptz.clear();
        QTest::mousePress(W(), Qt::LeftButton, {}, QPoint(50, 50));
        e.end(*this);
        EXPECT_EQ(ptz, (std::vector<int>{V::kPtzStop})) << e.name;
        EXPECT_EQ(video->m_bDragging, 0) << e.name;
    }
}

TEST_F(VideoTest, WithoutMousePtzClicksArePostedAndNoCommandIsSent) {
    Make(0);
    QTest::mouseClick(W(), Qt::LeftButton, {}, QPoint(5, 6));
    QTest::mouseDClick(W(), Qt::LeftButton, {}, QPoint(7, 8));
    QTest::mouseClick(W(), Qt::RightButton, {}, QPoint(9, 10));
    QTest::mousePress(W(), Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseMove(W(), QPoint(150, 50));
    QTest::mouseRelease(W(), Qt::LeftButton, {}, QPoint(150, 50));
    std::vector<std::pair<UINT, LPARAM>> posts = Posts();
    ASSERT_GE(posts.size(), 4u);
    EXPECT_EQ(posts[0], (std::pair<UINT, LPARAM>{WM_VIDEO_CLICK, (6 << 16) | 5}));
    EXPECT_NE(std::find(posts.begin(), posts.end(), std::pair<UINT, LPARAM>{WM_VIDEO_DBLCLK, (8 << 16) | 7}),
              posts.end());
    EXPECT_NE(std::find(posts.begin(), posts.end(), std::pair<UINT, LPARAM>{WM_VIDEO_RCLICK, (10 << 16) | 9}),
              posts.end());
    EXPECT_TRUE(ptz.empty());
}

}  // namespace
