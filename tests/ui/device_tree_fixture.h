#pragma once

// The device tree on the main window's real tree control: a tree file is loaded through the adapter, and
// the sessions' tree events, posted by session threads against the simulated DVR, reach the control
// through the window message loop.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <string_view>

#include "core/window_messages.h"
#include "dvr/device_tree.h"
#include "dvr/device_tree_apply.h"
#include "dvr/dvr_messages.h"
#include "dvr/dvr_session.h"
#include "dvr/session_hooks.h"
#include "platform/system/clock.h"
#include "tests/dvr/session_harness.h"
#include "tests/platform/ui/ui_test_support.h"
#include "tools/dvrsim/dvr_sim.h"
#include "ui/controls/my_tree_ctrl.h"
#include "ui/device_tree_adapter.h"
#include "ui/device_tree_images.h"

namespace device_tree_test {

constexpr UINT kTreeId = 1005;
constexpr uint32_t kOnline = DEVICE_FLAG_HELLO | DEVICE_FLAG_LOGGED_IN | DEVICE_FLAG_LIVE_BOUND |
                             DEVICE_FLAG_PLAYBACK_BOUND | DEVICE_FLAG_CHANNELS | DEVICE_FLAG_SYSTEM_PARAMS;

using harness::FakeNow;
using harness::g_now;

// The main window's share of the tree: tree events go to the tree logic, clicks on the tree choose the
// current device.
class TreeWindow : public CWnd {
public:
    DeviceTreeView* view = nullptr;
    int applied = 0;
    int stale = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_DVR_TREE_EVENT) {
            ++(HandleDvrTreeEvent(view, lParam) == 0 ? applied : stale);
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    BOOL OnNotify(WPARAM, LPARAM lParam, LRESULT* result) override {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (hdr->idFrom == kTreeId && hdr->code == NM_CLICK)
            OnClickDeviceTree(view);
        *result = 0;
        return TRUE;
    }
};

template <size_t N>
void Put(char16_t (&field)[N], std::u16string_view text) {
    text.copy(field, N - 1);
}

inline DeviceTreeNode Record(int32_t type, int32_t id, std::u16string_view name, int32_t parentId,
                             uint16_t port = 0) {
    DeviceTreeNode record{};
    record.type = type;
    record.id = id;
    Put(record.name, name);
    record.parentId = parentId;
    if (type == NODE_DVR) {
        Put(record.host, u"127.0.0.1");
        record.port = port;
        Put(record.user, u"YWRtaW4=");  // "admin"; the password stays empty
    }
    return record;
}

inline dvrsim::SimConfig SimWithChannels(std::initializer_list<const char*> names) {
    dvrsim::SimConfig config;
    config.users.push_back(dvrsim::SimUser{"admin", "", 0x3F});
    for (const char* name : names)
        config.channels.push_back(dvrsim::SimChannel{name, 16, 352, 288});
    config.stream = false;
    return config;
}

class DeviceTreeOnControl : public ::testing::Test {
protected:
    void SetUp() override {
        g_now = 1000000;
        SetMonotonicClock(FakeNow);
        ASSERT_TRUE(window.Attach(new QWidget, nullptr, 0, 0));
        window.GetWidget()->resize(240, 320);
        window.view = &view;
        ASSERT_TRUE(tree.Create(WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT,
                                RECT{0, 0, 240, 320}, &window, kTreeId));
        ASSERT_TRUE(CreateDeviceTreeImages(&images));
        tree.SetImageList(&images, TVSIL_NORMAL);
        tree.LoadBackground();
        DvrSessionHooks hooks;
        hooks.mainWindow = window.GetSafeHwnd();
        SetDvrSessionHooks(&hooks);
        InitDeviceList();
        ASSERT_EQ(StartSupervisorThread(), 0);
        ASSERT_TRUE(dir.isValid());
    }
    void TearDown() override {
        StopSupervisorThread();
        FreeDeviceList();
        DrainPostedEvents();
        ClearDeviceTree(&view);
        SetDvrSessionHooks(nullptr);
        SetMonotonicClock(nullptr);
    }

    // Writes the tree file of LAN mode and loads it into the control.
    void Load(const std::vector<DeviceTreeNode>& records) {
        QString path = DeviceTreeFilePath(dir.path() + "/", true);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("\xFF\xFE", 2);
        for (const DeviceTreeNode& record : records)
            file.write(reinterpret_cast<const char*>(&record), sizeof record);
        file.close();
        LoadDeviceTree(&view, path);
    }
    // A loaded single DVR (id 1) on the simulator, logged in with its channel items shown and with no
    // reply still on its way (the system parameters come last), so that moving the clock ages the last one.
    HTREEITEM LoadOnlineDvr(dvrsim::DvrSim& sim) {
        Load({Record(NODE_DVR, 1, u"Gate", 0, sim.Port())});
        HTREEITEM dvr = Item(NODE_DVR, 1);
        DVRDevice* device = Device(dvr);
        EXPECT_TRUE(WaitUntil([&] {
            return (device->flags.load() & kOnline) == kOnline && Image(dvr) == TREE_ICON_DVR_ONLINE &&
                   tree.ItemHasChildren(dvr);
        }));
        return dvr;
    }

    HTREEITEM Item(int type, int id, HTREEITEM start = nullptr) {
        return static_cast<HTREEITEM>(FindTreeItem(&view, type, id, start));
    }
    DVRDevice* Device(HTREEITEM dvr) { return FindDeviceByNode(view.GetItemData(dvr)); }
    int Image(HTREEITEM item) {
        int image = -1;
        int selected = -1;
        tree.GetItemImage(item, image, selected);
        return image == selected ? image : -1;
    }
    // Whether the item's row of shot holds the opaque pixels of picture near the item's left end (white
    // pixels are left out: they show the background).
    bool ShowsPicture(const QImage& shot, HTREEITEM item, const QImage& picture) {
        RECT r;
        if (!tree.GetItemRect(item, &r, TRUE))
            return false;
        for (int top = r.top; top + picture.height() <= r.bottom; ++top) {
            for (int left = std::max(0, r.left - 24); left <= r.left + 24; ++left) {
                bool same = true;
                for (int y = 0; y < picture.height() && same; ++y) {
                    for (int x = 0; x < picture.width() && same; ++x) {
                        QRgb p = picture.pixel(x, y);
                        if (qAlpha(p) == 255 && (p & 0xFFFFFF) != 0xFFFFFF)
                            same = (shot.pixel(left + x, top + y) & 0xFFFFFF) == (p & 0xFFFFFF);
                    }
                }
                if (same)
                    return true;
            }
        }
        return false;
    }
    QStringList Children(HTREEITEM item) {
        QStringList texts;
        for (HTREEITEM child = tree.GetChildItem(item); child != nullptr;
             child = tree.GetNextSiblingItem(child))
            texts << tree.GetItemText(child);
        return texts;
    }

    TreeWindow window;
    CMyTreeCtrl tree;
    CImageList images;
    DeviceTreeAdapter view{&tree};
    QTemporaryDir dir;
};

}  // namespace device_tree_test
