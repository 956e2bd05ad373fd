#include "core/system_info.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/disk_list.h"

namespace {

void Put(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

class SystemInfoTest : public ::testing::Test {
protected:
    QTemporaryDir root;
    void SetUp() override {
        Put(root.filePath("etc/os-release"),
            "NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n");
        Put(root.filePath("proc/sys/kernel/osrelease"), "6.1.0-18-amd64\n");
        Put(root.filePath("proc/cpuinfo"),
            "processor\t: 0\nmodel name\t: Test CPU @ 3.00GHz\n\nprocessor\t: 1\n");
        Put(root.filePath("proc/meminfo"),
            "MemTotal:       16318256 kB\nMemFree: 1 kB\nMemAvailable:    4079564 kB\n");
        Put(root.filePath("proc/stat"), "cpu  100 0 100 800 0 0 0 0 0 0\ncpu0 1 2 3 4\n");
    }
};

TEST_F(SystemInfoTest, BuildsTheFixedTexts) {
    CSystemInfo info(root.path());
    EXPECT_EQ(info.GetOsText(), "Debian GNU/Linux 12 (bookworm) (build 6.1.0-18-amd64), 64-bit");
    EXPECT_EQ(info.GetOsMajorVersion(), 6);
    EXPECT_EQ(info.GetCpuName(), "Test CPU @ 3.00GHz");
    // 16318256 KiB + 1 MiB, computed in 64 bits (a 32-bit sum would wrap above 4 GiB).
    EXPECT_EQ(info.GetMemoryText(), "15.56 G");
    EXPECT_TRUE(info.GetMainboardText().isEmpty());
    EXPECT_EQ(GetMemoryLoad(root.path()), 75);
}

TEST_F(SystemInfoTest, AMissingProcessorNameLeavesTheMemoryTextUnbuilt) {
    Put(root.filePath("proc/cpuinfo"), "processor\t: 0\n");
    CSystemInfo info(root.path());
    EXPECT_TRUE(info.GetCpuName().isEmpty());
    EXPECT_TRUE(info.GetMemoryText().isEmpty());
}

TEST_F(SystemInfoTest, SamplesTheProcessorLoadBetweenCalls) {
    CSystemInfo info(root.path());
    EXPECT_EQ(info.GetCpuUsage(), 20);  // against the zero sample: 800 idle of 1000
    Put(root.filePath("proc/stat"), "cpu  150 0 150 900 0 0 0 0 0 0\n");
    EXPECT_EQ(info.GetCpuUsage(), 50);  // 100 idle of 200
    // No time passed: the previous value stays instead of a division by zero.
    EXPECT_EQ(info.GetCpuUsage(), 50);
    // Guest time is part of user and nice time and counts once: 100 idle of 200, not of 700.
    Put(root.filePath("proc/stat"), "cpu  200 0 200 1000 0 0 0 0 400 100\n");
    EXPECT_EQ(info.GetCpuUsage(), 50);
}

int FakeSpace(const QString& folder, uint64_t* total, uint64_t* free) {
    if (folder == "/disks/big") {
        *total = 465ULL << 30;
        *free = 200ULL << 30;
        return 0;
    }
    if (folder == "/disks/full") {
        *total = 100ULL << 30;
        *free = 0;
        return 0;
    }
    if (folder == "/disks/small") {
        *total = 5000;
        *free = 1023;
        return 0;
    }
    return -1;
}

TEST(DiskList, ListsFixedDisksWithFreeSpace) {
    QList<DriveEntry> drives = {
        {QChar('C'), "/disks/big", "", false},           {QChar('D'), "/disks/full", "/dev/sdb1", false},
        {QChar('E'), "/disks/big", "/dev/sdc1", true},  // removable
        {QChar('F'), "/disks/none", "/dev/sdd1", false}, {QChar('G'), "/disks/small", "/dev/sde1", false},
    };
    ASSERT_EQ(BuildDiskList(drives, FakeSpace), 0);
    ASSERT_EQ(g_diskList.count, 2);
    DVRDiskInfo* c = g_diskList.head;
    EXPECT_EQ(c->letter, u'C');
    EXPECT_EQ(QString::fromUtf16(c->totalText), "465 GB");
    EXPECT_EQ(QString::fromUtf16(c->availableText), "200 GB");
    EXPECT_EQ(c->usedPercent, 57);
    DVRDiskInfo* g = c->next;
    EXPECT_EQ(g->letter, u'G');
    EXPECT_EQ(QString::fromUtf16(g->totalText), "4 KB");
    EXPECT_EQ(QString::fromUtf16(g->availableText), "0 B");  // below 1024 the unit stays unscaled
    EXPECT_EQ(g->next, nullptr);
    FreeDiskList();
    EXPECT_EQ(g_diskList.count, 0);
}

TEST(DiskList, RecordDiskUsageSumsTheRecordDisks) {
    qputenv("VISTAL_DRIVE_C", "/disks/big");
    qputenv("VISTAL_DRIVE_D", "/disks/full");
    QString text;
    EXPECT_EQ(GetRecordDiskUsage("CD", &text, FakeSpace), 65);  // 100 - 200 * 100 / 565
    EXPECT_EQ(text, "200 GB");
    EXPECT_EQ(GetRecordDiskUsage("", &text, FakeSpace), 100);
    EXPECT_EQ(text, "0 B");
    EXPECT_EQ(GetRecordDiskUsage("Q", &text, FakeSpace), 100);  // a letter without a medium
    qunsetenv("VISTAL_DRIVE_C");
    qunsetenv("VISTAL_DRIVE_D");
}

}  // namespace
