// What a canvas tells its window: the rectangles drawn since the window last took them, with one call of
// the repaint hook per paint; and which rectangles still show a picture that never changes, so that drawing
// it again can be left out.

#include <gtest/gtest.h>

#include <vector>

#include "platform/video/video_canvas.h"

namespace {

TEST(CanvasRepaint, DrawnRectanglesAreGatheredWithOneHookCallPerPaint) {
    VideoCanvas canvas;
    canvas.Resize(64, 48);
    int calls = 0;
    canvas.SetRepaintHook([&] { ++calls; });
    canvas.RequestRepaint(QRect(0, 0, 8, 8));
    canvas.RequestRepaint(QRect(16, 16, 8, 8));  // folded into the first call
    EXPECT_EQ(calls, 1);
    QRegion drawn = canvas.TakeDrawn();
    EXPECT_EQ(drawn, QRegion(0, 0, 8, 8) + QRegion(16, 16, 8, 8));
    // Drawn after the window took the rectangles and before it painted: the paint's end asks again.
    canvas.RequestRepaint(QRect(32, 0, 8, 8));
    EXPECT_EQ(calls, 1);
    canvas.RepaintDone();
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(canvas.TakeDrawn(), QRegion(32, 0, 8, 8));
    canvas.RepaintDone();  // nothing left: the next drawing calls the hook
    EXPECT_EQ(calls, 2);
    canvas.RequestRepaint(QRect(0, 40, 8, 8));
    EXPECT_EQ(calls, 3);
    // Without a rectangle: the whole canvas (and more; the window keeps its own part).
    (void)canvas.TakeDrawn();
    canvas.RepaintDone();
    canvas.RequestRepaint();
    EXPECT_TRUE(canvas.TakeDrawn().contains(QRect(0, 0, 64, 48)));
}

TEST(CanvasRepaint, NothingGathersWithoutAHookAndANewHookStartsAfresh) {
    VideoCanvas canvas;
    canvas.Resize(16, 16);
    canvas.RequestRepaint(QRect(0, 0, 4, 4));
    int calls = 0;
    canvas.SetRepaintHook([&] { ++calls; });
    EXPECT_TRUE(canvas.TakeDrawn().isEmpty());
    canvas.RequestRepaint(QRect(0, 0, 4, 4));
    EXPECT_EQ(calls, 1);
    canvas.SetRepaintHook([&] { calls += 10; });  // a pending request of the old hook does not block
    canvas.RequestRepaint(QRect(0, 0, 4, 4));
    EXPECT_EQ(calls, 11);
}

TEST(CanvasStills, AStillStaysUntilSomethingIsDrawnOverIt) {
    const int picture = 0;
    const CanvasStillKey key{&picture, 7};
    struct Case {
        const char* what;
        void (*after)(VideoCanvas&);
        bool holds;
    };
    const Case cases[] = {
        {"nothing else drawn", [](VideoCanvas&) {}, true},
        {"a rectangle beside it", [](VideoCanvas& c) { VideoCanvas::RectLock r(c, 10, 0, 20, 10); }, true},
        {"a rectangle overlapping one pixel",
         [](VideoCanvas& c) { VideoCanvas::RectLock r(c, 9, 9, 20, 20); }, false},
        {"a rectangle inside it", [](VideoCanvas& c) { VideoCanvas::RectLock r(c, 2, 2, 4, 4); }, false},
        {"a drawing under the whole lock", [](VideoCanvas& c) { c.ForgetStills(0, 5, 40, 6); }, false},
        {"a resize", [](VideoCanvas& c) { c.Resize(40, 30); }, false},
        {"the same size again", [](VideoCanvas& c) { c.Resize(32, 32); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        VideoCanvas canvas;
        canvas.Resize(32, 32);
        EXPECT_FALSE(canvas.HoldsStill(0, 0, 10, 10, key));
        { VideoCanvas::RectLock drawn(canvas, 0, 0, 10, 10, key); }
        c.after(canvas);
        EXPECT_EQ(canvas.HoldsStill(0, 0, 10, 10, key), c.holds);
    }
}

TEST(CanvasStills, OnlyTheSameStillInTheSameRectangleCounts) {
    const int picture = 0, other = 0;
    VideoCanvas canvas;
    canvas.Resize(32, 32);
    { VideoCanvas::RectLock drawn(canvas, 0, 0, 10, 10, CanvasStillKey{&picture, 1}); }
    EXPECT_TRUE(canvas.HoldsStill(0, 0, 10, 10, CanvasStillKey{&picture, 1}));
    EXPECT_FALSE(canvas.HoldsStill(0, 0, 10, 10, CanvasStillKey{&picture, 2}));  // drawn otherwise
    EXPECT_FALSE(canvas.HoldsStill(0, 0, 10, 10, CanvasStillKey{&other, 1}));
    EXPECT_FALSE(canvas.HoldsStill(0, 0, 10, 12, CanvasStillKey{&picture, 1}));
    EXPECT_FALSE(canvas.HoldsStill(0, 0, 10, 10, CanvasStillKey{}));  // no still
    // A live picture drawn into the rectangle (no key) replaces the still.
    { VideoCanvas::RectLock drawn(canvas, 0, 0, 10, 10); }
    EXPECT_FALSE(canvas.HoldsStill(0, 0, 10, 10, CanvasStillKey{&picture, 1}));
}

}  // namespace
