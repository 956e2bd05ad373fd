// The canvas's two kinds of hold: rectangles that do not overlap are held at once, an overlapping one waits,
// and the whole canvas waits for the rectangles and keeps new ones out while it waits or is held.

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <future>
#include <memory>

#include "platform/video/video_canvas.h"

namespace {

using namespace std::chrono_literals;

// How long a hold that must wait is watched before it is taken as waiting (a hold that need not wait is
// taken within the long bound).
constexpr auto kWaiting = 150ms;
constexpr auto kLongBound = 10s;

struct Rect {
    int left, top, right, bottom;
};

// Takes a hold on another thread (hold calls its argument while holding) and keeps it until released.
class Holder {
public:
    using Hold = std::function<void(const std::function<void()>& whileHeld)>;
    explicit Holder(Hold hold) {
        m_heldFuture = m_held.get_future();
        m_thread = std::async(std::launch::async, [this, hold] {
            hold([this] {
                m_held.set_value();
                m_release.get_future().wait();
            });
        });
    }
    ~Holder() { Release(); }
    bool HeldWithin(std::chrono::milliseconds wait) {
        return m_heldFuture.wait_for(wait) == std::future_status::ready;
    }
    void Release() {
        if (!m_released) {
            m_released = true;
            m_release.set_value();
            m_thread.wait();
        }
    }

private:
    std::promise<void> m_held;
    std::future<void> m_heldFuture;
    std::promise<void> m_release;
    bool m_released = false;
    std::future<void> m_thread;
};

Holder::Hold RectHold(VideoCanvas& canvas, Rect r) {
    return [&canvas, r](const std::function<void()>& whileHeld) {
        VideoCanvas::RectLock held(canvas, r.left, r.top, r.right, r.bottom);
        whileHeld();
    };
}

Holder::Hold WholeHold(VideoCanvas& canvas) {
    return [&canvas](const std::function<void()>& whileHeld) {
        std::lock_guard<VideoCanvas::WholeLock> guard(canvas.Lock());
        whileHeld();
    };
}

TEST(CanvasLock, RectanglesThatDoNotOverlapAreHeldAtOnceAndAnOverlappingOneWaits) {
    VideoCanvas canvas;
    canvas.Resize(64, 48);
    struct Case {
        Rect second;
        bool waits;
        const char* what;
    };
    const Case cases[] = {
        {{16, 0, 32, 16}, false, "side by side"},
        {{0, 16, 16, 32}, false, "one below the other"},
        {{15, 15, 30, 30}, true, "corners overlap"},
        {{4, 4, 8, 8}, true, "inside"},
        {{0, 0, 0, 0}, false, "empty"},
    };
    for (const Case& c : cases) {
        Holder first(RectHold(canvas, Rect{0, 0, 16, 16}));
        ASSERT_TRUE(first.HeldWithin(kLongBound)) << c.what;
        Holder second(RectHold(canvas, c.second));
        if (c.waits) {
            EXPECT_FALSE(second.HeldWithin(kWaiting)) << c.what;
            first.Release();
        }
        EXPECT_TRUE(second.HeldWithin(kLongBound)) << c.what;
    }
}

TEST(CanvasLock, TheWholeCanvasWaitsForRectanglesAndKeepsNewOnesOut) {
    VideoCanvas canvas;
    canvas.Resize(64, 48);
    Holder drawing(RectHold(canvas, Rect{0, 0, 16, 16}));
    ASSERT_TRUE(drawing.HeldWithin(kLongBound));
    Holder painter(WholeHold(canvas));
    EXPECT_FALSE(painter.HeldWithin(kWaiting));
    // Asked for while the painter waits: a rectangle elsewhere waits too, so the painter is not starved.
    Holder later(RectHold(canvas, Rect{32, 32, 48, 48}));
    EXPECT_FALSE(later.HeldWithin(kWaiting));
    drawing.Release();
    EXPECT_TRUE(painter.HeldWithin(kLongBound));
    EXPECT_FALSE(later.HeldWithin(kWaiting));
    painter.Release();
    EXPECT_TRUE(later.HeldWithin(kLongBound));
}

TEST(CanvasLock, DrawersWriteThroughThePixelsOfTheImageAsLastResized) {
    VideoCanvas canvas;
    canvas.Resize(64, 48);
    {
        std::lock_guard<VideoCanvas::WholeLock> guard(canvas.Lock());
        canvas.Resize(96, 40);
    }
    {
        VideoCanvas::RectLock held(canvas, 90, 30, 96, 40);
        ASSERT_NE(canvas.Pixels(), nullptr);
        EXPECT_EQ(canvas.Stride(), 96 * 4);
        uint32_t pixel = 0x00112233;
        std::memcpy(canvas.Pixels() + 35 * canvas.Stride() + 95 * 4, &pixel, 4);
    }
    std::lock_guard<VideoCanvas::WholeLock> guard(canvas.Lock());
    EXPECT_EQ(canvas.Image().pixel(95, 35) & 0xFFFFFF, 0x112233u);
    // The rows start on 64-byte boundaries, so drawers can store whole cache lines.
    EXPECT_EQ(reinterpret_cast<uintptr_t>(canvas.Pixels()) % 64, 0u);
}

}  // namespace
