// Number controls: the up-down control writes its clamped position into its buddy and follows a range
// given upside down; the IP address control reads back what it shows; the progress bar clamps.

#include <gtest/gtest.h>

#include <QToolButton>

#include "platform/ui/edit.h"
#include "platform/ui/ip_address_ctrl.h"
#include "platform/ui/range_ctrls.h"
#include "tests/platform/ui/ui_test_support.h"

namespace {

class RangeTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(parent.CreateTest(nullptr, 0)); }
    std::vector<SeenMessage> log;
    RecordingWnd parent{"parent", &log};
};

TEST_F(RangeTest, UpDownWritesItsClampedPositionIntoTheBuddy) {
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_VISIBLE, RECT{0, 0, 40, 20}, &parent, 1067));
    CSpinButtonCtrl spin;
    ASSERT_TRUE(
        spin.Create(WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT, RECT{0, 0, 16, 20}, &parent, 1148));
    spin.SetBuddy(&edit);
    spin.SetRange32(0, 40);
    spin.SetPos32(55);
    EXPECT_EQ(spin.GetPos32(), 40);
    EXPECT_EQ(edit.GetWindowText(), "40");
    // A number typed into the buddy is the position.
    edit.SetWindowText("12");
    EXPECT_EQ(spin.GetPos32(), 12);

    // The up arrow counts down when the range is given upside down.
    CSpinButtonCtrl reversed;
    ASSERT_TRUE(reversed.Create(WS_VISIBLE, RECT{0, 0, 16, 20}, &parent, 1149));
    reversed.SetRange32(100, 0);
    reversed.SetPos32(50);
    QList<QToolButton*> arrows = reversed.GetWidget()->findChildren<QToolButton*>();
    ASSERT_EQ(arrows.size(), 2);
    arrows[0]->click();
    EXPECT_EQ(reversed.GetPos32(), 49);
}

TEST_F(RangeTest, IpAddressAndProgress) {
    CIPAddressCtrl ip;
    ASSERT_TRUE(ip.Create(WS_VISIBLE, RECT{0, 0, 160, 20}, &parent, 1200));
    EXPECT_TRUE(ip.IsBlank());
    ip.SetAddress(0xC0A80102);
    DWORD address = 0;
    EXPECT_EQ(ip.GetAddress(address), 4);
    EXPECT_EQ(address, 0xC0A80102u);
    EXPECT_EQ(ip.GetWindowText(), "192.168.1.2");
    ip.ClearAddress();
    EXPECT_EQ(ip.GetAddress(address), 0);

    CProgressCtrl progress;
    ASSERT_TRUE(progress.Create(WS_VISIBLE, RECT{0, 0, 100, 10}, &parent, 1002));
    progress.SetRange(0, 20);
    progress.SetPos(25);
    EXPECT_EQ(progress.GetPos(), 20);
    EXPECT_EQ(progress.SetPos(3), 20);
}

}  // namespace
