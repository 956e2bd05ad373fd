// One live view end to end: the simulated DVR streams channels of three codecs and two sizes to real
// sessions; the channels are put on grid screens; the frame parser's frames are decoded by the slots'
// decode threads and drawn into a real video window, whose picture is grabbed and checked screen by
// screen. A shown screen without a channel gets the idle picture as the main window's idle pass draws it.

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <set>
#include <vector>

#include "media/main_window_state.h"
#include "media/media_system.h"
#include "media/pixel_routines.h"
#include "media/video_renderer.h"
#include "platform/audio/sound_buffer.h"
#include "platform/video/video_canvas.h"
#include "resources/resource_bitmaps.h"
#include "tests/media/live_view_support.h"
#include "tests/picture_output.h"
#include "tests/platform/ui/ui_test_support.h"
#include "tools/dvrsim/dvr_sim.h"
#include "tools/dvrsim/video_source.h"
#include "ui/controls/dlg_video.h"

namespace {

// Six screens of 176 x 144 in three columns and two rows.
constexpr int kScreenWidth = 176;
constexpr int kScreenHeight = 144;
constexpr int kColumns = 3;
constexpr int kScreens = 6;
constexpr int kSelected = 1;
constexpr int kIdleScreen = 4;  // shown, no channel
constexpr int kHiddenScreen = 5;

VideoRect ScreenRect(int screen) {
    int x = (screen % kColumns) * kScreenWidth, y = (screen / kColumns) * kScreenHeight;
    return VideoRect{x, y, x + kScreenWidth, y + kScreenHeight};
}

int Luma(QRgb rgb) {
    return (qRed(rgb) * 299 + qGreen(rgb) * 587 + qBlue(rgb) * 114) / 1000;
}

// What a screen of the grabbed picture holds inside its border.
struct ScreenLook {
    int borderMatches = 0;  // of the four corners
    int meanLuma = 0;
    int minLuma = 255;
    int maxLuma = 0;
    int colours = 0;
    // Along the anti-diagonal the test picture's bands keep their brightness; across it they change.
    int alongBands = 0;
    int acrossBands = 0;
};

ScreenLook Look(const QImage& image, int screen, QRgb border) {
    ScreenLook look;
    VideoRect r = ScreenRect(screen);
    for (QPoint p : {QPoint(r.left, r.top), QPoint(r.right - 1, r.top), QPoint(r.left, r.bottom - 1),
                     QPoint(r.right - 1, r.bottom - 1)})
        look.borderMatches += (image.pixel(p) & 0xFFFFFF) == border;
    std::set<QRgb> colours;
    long sum = 0, count = 0;
    for (int y = r.top + 2; y < r.bottom - 2; ++y) {
        for (int x = r.left + 2; x < r.right - 2; ++x) {
            QRgb rgb = image.pixel(x, y) & 0xFFFFFF;
            int luma = Luma(rgb);
            sum += luma;
            ++count;
            look.minLuma = std::min(look.minLuma, luma);
            look.maxLuma = std::max(look.maxLuma, luma);
            colours.insert(rgb);
            if ((x + y) % 7 == 0) {
                int along = std::abs(luma - Luma(image.pixel(x + 1, y - 1)));
                int across = std::abs(luma - Luma(image.pixel(x + 1, y + 1)));
                look.alongBands += along < across;
                look.acrossBands += across < along;
            }
        }
    }
    look.meanLuma = static_cast<int>(sum / count);
    look.colours = static_cast<int>(colours.size());
    return look;
}

// The moving test picture: bright and dark bands, a white box, many colours, bands along the
// anti-diagonal, framed by the screen's border.
bool ShowsTestPicture(const ScreenLook& look) {
    return look.borderMatches == 4 && look.meanLuma > 40 && look.maxLuma > 200 && look.minLuma < 60 &&
           look.colours > 200 && look.alongBands > 2 * look.acrossBands;
}

double MeanDifference(const QImage& a, const QImage& b, const VideoRect& r) {
    long sum = 0, count = 0;
    for (int y = r.top + 2; y < r.bottom - 2; ++y) {
        for (int x = r.left + 2; x < r.right - 2; ++x, ++count)
            sum += std::abs(Luma(a.pixel(x, y)) - Luma(b.pixel(x, y)));
    }
    return static_cast<double>(sum) / count;
}

constexpr unsigned kIdleBitmap = 274;

int MeanLuma(const QImage& bitmap) {
    QImage small = bitmap.convertToFormat(QImage::Format_RGB32).scaled(kScreenWidth, kScreenHeight);
    long sum = 0;
    for (int y = 0; y < small.height(); ++y) {
        for (int x = 0; x < small.width(); ++x)
            sum += Luma(small.pixel(x, y));
    }
    return static_cast<int>(sum / (small.width() * small.height()));
}

QString OutputPath() {
    return PicturePath(QStringLiteral("live_video_window.png"));
}

TEST(LiveView, ChannelsOfThreeCodecsReachTheirScreensThroughRealSessions) {
    for (int codec : {dvrsim::kCodecMpeg4, dvrsim::kCodecH264, dvrsim::kCodecH263}) {
        if (!dvrsim::HasEncoder(codec))
            GTEST_SKIP() << "no encoder for codec " << codec;
    }
    SetSoundBackend(SOUND_BACKEND_NULL);
    ImgInitDispatch();

    // Two DVRs: three CIF channels of three codecs, and one 4CIF channel.
    dvrsim::SimConfig cif;
    cif.users.push_back(dvrsim::SimUser{"admin", "", 0x3F});
    cif.channels = {{"MPEG-4", dvrsim::kCodecMpeg4, 352, 288},
                    {"H.264", dvrsim::kCodecH264, 352, 288},
                    {"H.263", dvrsim::kCodecH263, 352, 288}};
    cif.framesPerSecond = 10;
    dvrsim::SimConfig large = cif;
    large.channels = {{"Large", dvrsim::kCodecMpeg4, 704, 576}};
    dvrsim::DvrSim simA(cif), simB(large);
    ASSERT_EQ(simA.Start(), 0);
    ASSERT_EQ(simB.Start(), 0);

    // The main window: the video window over the grid, its screens and their flags.
    std::vector<SeenMessage> log;
    RecordingWnd mainWindow("main", &log);
    ASSERT_TRUE(mainWindow.CreateTest(nullptr, 0));
    CDlgVideo video(&mainWindow, 0);
    ASSERT_TRUE(video.Create(CDlgVideo::IDD, &mainWindow));
    video.MoveWindow(0, 0, kColumns * kScreenWidth, 2 * kScreenHeight);
    video.ShowWindow(SW_SHOW);
    QWidget* widget = video.GetWidget();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(widget));
    MainWindowState& w = g_mainWindowState;
    w.m_hWnd = mainWindow.m_hWnd;
    w.m_bPlaybackOpen = 0;
    w.m_nCurScreen = kSelected;
    for (int i = 0; i < MAIN_SCREEN_COUNT; ++i) {
        w.m_bScreenShown[i] = i < kScreens && i != kHiddenScreen;
        w.SetScreenRect(i, i < kScreens ? ScreenRect(i) : VideoRect{0, 0, 0, 0});
    }

    ASSERT_EQ(InitMediaSystem(), 0);
    g_renderers[0]->SetWindow(video.m_hWnd);
    MediaThreadTable threads;
    threads.supervisorRoutine = SupervisorThreadProc;
    ASSERT_EQ(StartMediaThreads(&threads), 0);
    DeviceTreeNode* nodeA = live_view::MakeDvrNode(1, simA.Port());
    DeviceTreeNode* nodeB = live_view::MakeDvrNode(2, simB.Port());
    DVRDevice* dvrA = live_view::StartSession(nodeA);
    DVRDevice* dvrB = live_view::StartSession(nodeB);
    auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitUntil([&] { return live_view::IsOnline(dvrA) && live_view::IsOnline(dvrB); }));
    auto online = std::chrono::steady_clock::now();
    struct View {
        DVRDevice* device;
        int channel;
        int width;
    } const views[] = {{dvrA, 0, 352}, {dvrA, 1, 352}, {dvrA, 2, 352}, {dvrB, 0, 704}};
    for (int screen = 0; screen < 4; ++screen)
        ASSERT_EQ(live_view::ShowChannel(views[screen].device, views[screen].channel, screen), 0);

    // The main window's idle pass: the idle picture on every shown screen without a channel.
    auto drawIdleScreens = [&] {
        for (int s = 0; s < kScreens; ++s) {
            bool empty;
            {
                std::lock_guard<std::mutex> guard(g_screenSlots[s].lock);
                empty = g_screenSlots[s].device == nullptr;
            }
            if (empty && w.m_bScreenShown[s] && !g_idleImage.data.empty())
                g_renderers[0]->RenderFrame(g_idleImage.width, g_idleImage.height, s, g_idleImage.data.data(),
                                            w.ScreenRect(s), s == w.m_nCurScreen);
        }
    };
    auto border = [](int screen) -> QRgb { return screen == kSelected ? 0x00FF00u : 0xFFFFFFu; };
    QImage first;
    bool shown = WaitUntil(
        [&] {
            drawIdleScreens();
            first = widget->grab().toImage();
            for (int s = 0; s < 4; ++s) {
                if (!ShowsTestPicture(Look(first, s, border(s))))
                    return false;
            }
            return true;
        },
        10000);
    auto drawn = std::chrono::steady_clock::now();
    ASSERT_TRUE(first.save(OutputPath()));
    for (int s = 0; s < 4; ++s) {
        ScreenLook look = Look(first, s, border(s));
        EXPECT_TRUE(ShowsTestPicture(look))
            << "screen " << s << ": border " << look.borderMatches << " mean " << look.meanLuma << " range "
            << look.minLuma << "-" << look.maxLuma << " colours " << look.colours << " bands "
            << look.alongBands << "/" << look.acrossBands;
        EXPECT_EQ(g_screenSlots[s].decodedWidth.load(), views[s].width) << s;
    }
    ASSERT_TRUE(shown);

    // The pictures move.
    QImage later;
    EXPECT_TRUE(WaitUntil(
        [&] {
            later = widget->grab().toImage();
            for (int s = 0; s < 4; ++s) {
                if (MeanDifference(first, later, ScreenRect(s)) < 4.0)
                    return false;
            }
            return true;
        },
        5000));

    // The idle screen shows the idle picture (when the build has it) in its border; the hidden one
    // stays black.
    ScreenLook idleLook = Look(first, kIdleScreen, 0xFFFFFFu);
    QImage idleBitmap = LoadResourceBitmap(kIdleBitmap);
    if (!idleBitmap.isNull()) {
        ASSERT_FALSE(g_idleImage.data.empty());
        EXPECT_EQ(idleLook.borderMatches, 4);
        EXPECT_NEAR(idleLook.meanLuma, MeanLuma(idleBitmap), 12);
    }
    ScreenLook hiddenLook = Look(first, kHiddenScreen, 0);
    EXPECT_EQ(hiddenLook.maxLuma, 0);
    EXPECT_EQ(hiddenLook.borderMatches, 4);

    // Everything stops within its bound: the media threads, then (inside FreeMediaSystem) the sessions.
    auto stopStart = std::chrono::steady_clock::now();
    StopMediaThreads(&threads);
    auto mediaStopped = std::chrono::steady_clock::now();
    FreeMediaSystem();
    auto freed = std::chrono::steady_clock::now();
    EXPECT_LT(mediaStopped - stopStart, std::chrono::milliseconds(THREAD_STOP_WAIT_MS));
    EXPECT_LT(freed - mediaStopped, std::chrono::milliseconds(THREAD_STOP_WAIT_MS));
    for (const auto& t : threads.decodeThreads)
        EXPECT_EQ(t.handle, nullptr);
    EXPECT_EQ(threads.supervisorThread.handle, nullptr);
    EXPECT_EQ(g_deviceList, nullptr);
    std::free(nodeA);
    std::free(nodeB);
    video.DestroyWindow();
    mainWindow.DestroyWindow();
    SetSoundBackend(SOUND_BACKEND_AUTO);
    auto ms = [](auto d) { return std::chrono::duration_cast<std::chrono::milliseconds>(d).count(); };
    std::printf(
        "online %lld ms, all screens drawn %lld ms later, media threads stopped in %lld ms, "
        "sessions and slots freed in %lld ms\n",
        static_cast<long long>(ms(online - started)), static_cast<long long>(ms(drawn - online)),
        static_cast<long long>(ms(mediaStopped - stopStart)),
        static_cast<long long>(ms(freed - mediaStopped)));
}

}  // namespace
