#include "updater/unzipper.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

#include <QDateTime>
#include <QFileInfo>
#include <QTemporaryDir>

#include "core/install_journal.h"
#include "tests/updater/stopped_install.h"
#include "tests/updater/test_zip.h"
#include "updater/package_install.h"

namespace {

class UnzipperTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_install = m_dir.filePath(QStringLiteral("install"));
        RestoreOldInstallation();
        m_zip = m_dir.filePath(QStringLiteral("update.zip"));
    }
    // The installation as every test starts from: the client and its English texts.
    void RestoreOldInstallation() { ASSERT_TRUE(WriteOldInstallation(m_install)); }

    QTemporaryDir m_dir;
    QString m_install;
    QString m_zip;
};

TEST_F(UnzipperTest, InstallsEntriesWithFoldersOverOldFiles) {
    ASSERT_TRUE(WriteTestZip(m_zip, {
                                        {"Vistal", "new client", false, 0100755u << 16},
                                        {"skins/", "", true, 0x10},
                                        {"language/language.eng", "new texts"},
                                        {"data/deep/view.txt", QByteArray(5000, 'v')},
                                    }));
    EXPECT_EQ(InstallPackage(m_zip, m_install), 1);
    EXPECT_EQ(ReadWholeFile(m_install + QStringLiteral("/Vistal")), "new client");
    EXPECT_EQ(ReadWholeFile(m_install + QStringLiteral("/language/language.eng")), "new texts");
    EXPECT_EQ(ReadWholeFile(m_install + QStringLiteral("/data/deep/view.txt")), QByteArray(5000, 'v'));
    EXPECT_TRUE(QFileInfo(m_install + QStringLiteral("/skins")).isDir());
    // No temporary file is left beside the targets.
    EXPECT_EQ(DescribeTree(m_install).count(QStringLiteral("/.")), 0)
        << DescribeTree(m_install).toStdString();
    // The modification time is the entry's DOS time as local time.
    QDateTime written = QFileInfo(m_install + QStringLiteral("/language/language.eng")).lastModified();
    EXPECT_EQ(written, QDateTime(QDate(2024, 5, 2), QTime(12, 0, 0)));
}

TEST_F(UnzipperTest, FailedPackagesLeaveInstallationUnchanged) {
    struct Case {
        const char* what;
        std::vector<TestZipEntry> entries;
        QByteArray corrupt;  // bytes of a stored entry to damage after writing
    };
    const Case cases[] = {
        {"climbing entry", {{"Vistal", "new client"}, {"../outside.txt", "escaped"}}, {}},
        {"nested climbing entry", {{"Vistal", "new client"}, {"data/../../outside.txt", "escaped"}}, {}},
        {"absolute entry", {{"Vistal", "new client"}, {"/tmp/outside.txt", "escaped"}}, {}},
        {"drive entry", {{"Vistal", "new client"}, {"C:\\outside.txt", "escaped"}}, {}},
        {"backslash climbing entry", {{"Vistal", "new client"}, {"..\\outside.txt", "escaped"}}, {}},
        // The journal's lines would be followed by the next start's recovery.
        {"journal entry",
         {{"Vistal", "new client"}, {".vistal-update.journal", "temp ../outside.txt\n"}},
         {}},
        {"journal temporary in a folder",
         {{"Vistal", "new client"}, {"language/.Vistal-Update.Journal.tmp", "x"}},
         {}},
        {"bad CRC in a later entry",
         {{"Vistal", "new client"}, {"new/folder/file.bin", "STORED-DATA-TO-BREAK", true}},
         "STORED-DATA-TO-BREAK"},
    };
    const QString before = DescribeTree(m_dir.path());
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteTestZip(m_zip, c.entries)) << c.what;
        if (!c.corrupt.isEmpty()) {
            ASSERT_TRUE(CorruptBytesInFile(m_zip, c.corrupt)) << c.what;
        }
        EXPECT_EQ(InstallPackage(m_zip, m_install), 0) << c.what;
        QFile::remove(m_zip);
        EXPECT_EQ(DescribeTree(m_dir.path()), before) << c.what;
        EXPECT_FALSE(QFileInfo::exists(m_dir.filePath(QStringLiteral("outside.txt")))) << c.what;
        EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/tmp/outside.txt"))) << c.what;
    }
}

TEST_F(UnzipperTest, BrokenOrMissingArchiveFails) {
    const QString before = DescribeTree(m_install);
    ASSERT_TRUE(WriteWholeFile(m_zip, "this is not a zip archive at all"));
    EXPECT_EQ(InstallPackage(m_zip, m_install), 0);
    // A valid archive cut short loses its central directory.
    ASSERT_TRUE(WriteTestZip(m_zip, {{"Vistal", QByteArray(3000, 'x')}}));
    QByteArray whole = ReadWholeFile(m_zip);
    ASSERT_TRUE(WriteWholeFile(m_zip, whole.left(whole.size() / 2)));
    EXPECT_EQ(InstallPackage(m_zip, m_install), 0);
    EXPECT_EQ(InstallPackage(m_dir.filePath(QStringLiteral("none.zip")), m_install), 0);
    EXPECT_EQ(DescribeTree(m_install), before);
}

TEST_F(UnzipperTest, SingleEntryExtractionAndNavigation) {
    ASSERT_TRUE(WriteTestZip(m_zip, {
                                        {"readme.txt", "text"},
                                        {"bin/tool.EXE", "tool"},
                                        {"bad.bin", "STORED-BREAK", true},
                                    }));
    ASSERT_TRUE(CorruptBytesInFile(m_zip, "STORED-BREAK"));
    CUnzipper unzipper(m_zip);
    EXPECT_EQ(unzipper.GetEntryCount(), 3);
    // Moving by extension finds the entry ignoring case.
    ASSERT_TRUE(unzipper.GoToFirstEntry(QStringLiteral("exe")));
    UnzipEntryInfo info;
    ASSERT_TRUE(unzipper.GetEntryInfo(&info));
    EXPECT_EQ(info.name, QStringLiteral("bin/tool.EXE"));
    // Without a folder the entry goes to the archive's path without its extension; ignorePath drops
    // the entry's folders.
    EXPECT_TRUE(unzipper.ExtractEntry(QString(), true));
    EXPECT_EQ(ReadWholeFile(m_dir.filePath(QStringLiteral("update/tool.EXE"))), "tool");
    // The damaged entry fails alone and leaves no file.
    ASSERT_TRUE(unzipper.GoToNextEntry());
    EXPECT_FALSE(unzipper.ExtractEntry(m_install, false));
    EXPECT_FALSE(QFileInfo::exists(m_install + QStringLiteral("/bad.bin")));
    EXPECT_EQ(DescribeTree(m_install).count(QStringLiteral("/.")), 0);
    EXPECT_FALSE(unzipper.GoToNextEntry());
    EXPECT_TRUE(unzipper.Close());
    EXPECT_FALSE(unzipper.ExtractEntry(m_install, false));
}

TEST_F(UnzipperTest, ReadOnlyTargetIsKept) {
    const QString client = m_install + QStringLiteral("/Vistal");
    ASSERT_EQ(chmod(QFile::encodeName(client).constData(), 0555), 0);
    if (access(QFile::encodeName(client).constData(), W_OK) == 0)
        GTEST_SKIP() << "running with rights that ignore file modes";
    ASSERT_TRUE(WriteTestZip(m_zip, {{"Vistal", "new client"}}));
    EXPECT_EQ(InstallPackage(m_zip, m_install), 0);
    EXPECT_EQ(ReadWholeFile(client), "old client");
}

// Entries whose targets clash with each other or with the installation: checked before anything moves.
TEST_F(UnzipperTest, ClashingTargetsChangeNothing) {
    ASSERT_TRUE(QDir().mkpath(m_install + QStringLiteral("/skins")));
    struct Case {
        const char* what;
        std::vector<TestZipEntry> entries;
    };
    const Case cases[] = {
        {"a file and a folder of one name",
         {{"Vistal", "new client"}, {"evil", "file"}, {"evil/x", "below"}}},
        {"a file over a folder", {{"Vistal", "new client"}, {"skins", "file"}}},
        {"a file below a file", {{"Vistal", "new client"}, {"language/language.eng/x", "below"}}},
    };
    const QString before = DescribeTree(m_install);
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteTestZip(m_zip, c.entries)) << c.what;
        EXPECT_EQ(InstallPackage(m_zip, m_install), 0) << c.what;
        EXPECT_EQ(DescribeTree(m_install), before) << c.what;
    }
}

// The rename of the file system, failing at one chosen call (0: never) and counting the calls.
int g_renameCalls = 0;
int g_failingRename = 0;
int RenameFailingOnce(const char* from, const char* to) {
    if (++g_renameCalls == g_failingRename)
        return -1;
    return std::rename(from, to);
}

TEST_F(UnzipperTest, AFailureAtAnyStepOfTheCommitChangesNothing) {
    ASSERT_TRUE(WriteTestZip(m_zip, {
                                        {"Vistal", "new client"},
                                        {"language/language.eng", "new texts"},
                                        {"skins/new.bmp", "new picture"},
                                        {"readme.txt", "new file"},
                                    }));
    const QString before = DescribeTree(m_install);
    // A run that succeeds counts the steps: each old file moved aside, each new one moved in.
    g_renameCalls = 0;
    g_failingRename = 0;
    ASSERT_EQ(InstallPackage(m_zip, m_install, {}, RenameFailingOnce), 1);
    const int steps = g_renameCalls;
    EXPECT_EQ(steps, 6);
    for (int failing = 1; failing <= steps; ++failing) {
        RestoreOldInstallation();
        g_renameCalls = 0;
        g_failingRename = failing;
        EXPECT_EQ(InstallPackage(m_zip, m_install, {}, RenameFailingOnce), 0) << failing;
        EXPECT_EQ(DescribeTree(m_install), before) << "step " << failing;
    }
}

// Stopped at every step, then started again: the next start leaves either the whole old installation or
// the whole new one, and not one temporary or set-aside file.
TEST_F(UnzipperTest, AStopAtAnyStepThenAStartGivesTheWholeOldOrNewInstallation) {
    ASSERT_TRUE(WriteTestZip(m_zip, {
                                        {"Vistal", "new client"},
                                        {"language/language.eng", "new texts"},
                                        {"skins/new.bmp", "new picture"},
                                        {"skins/deeper/more.bmp", "more"},
                                        {"readme.txt", "new file"},
                                    }));
    const QString oldTree = DescribeTree(m_install);
    const int steps = CountInstallSteps(m_zip, m_install);
    const QString newTree = DescribeTree(m_install);
    // 5 entries unpacked, the plan, 2 old files aside, 5 moved in, done, 2 old removed, the journal removed.
    ASSERT_EQ(steps, 5 + 1 + 2 + 5 + 1 + 2 + 1);
    int rolledBack = 0;
    int finished = 0;
    for (int stop = 0; stop < steps; ++stop) {
        SCOPED_TRACE(stop);
        RestoreOldInstallation();
        ASSERT_EQ(InstallInChild(m_zip, m_install, stop), 3);
        EXPECT_TRUE(QFileInfo::exists(m_install + "/" + INSTALL_JOURNAL_NAME));
        const InstallRecovery recovery = RecoverInstall(m_install);
        const QString after = DescribeTree(m_install);
        if (after == newTree) {
            EXPECT_EQ(recovery, RECOVERY_FINISHED);
            ++finished;
        } else {
            EXPECT_EQ(after.toStdString(), oldTree.toStdString());
            EXPECT_NE(recovery, RECOVERY_FINISHED);
            ++rolledBack;
        }
    }
    // Before "done" is on disk the run is undone; after it (stopped at the removal of either old file or of
    // the journal), finished.
    EXPECT_EQ(finished, 3);
    EXPECT_EQ(rolledBack, steps - 3);
    // A run that holds its journal is left alone by another start.
    RestoreOldInstallation();
    InstallJournal running;
    ASSERT_EQ(running.Begin(m_install), 0);
    EXPECT_EQ(RecoverInstall(m_install), RECOVERY_BUSY);
    running.Remove();
    EXPECT_EQ(RecoverInstall(m_install), RECOVERY_NONE);
    EXPECT_EQ(DescribeTree(m_install), oldTree);
}

TEST_F(UnzipperTest, RefusesPackagesThatUnpackPastTheLimits) {
    const QString before = DescribeTree(m_install);
    PackageLimits small;
    small.maxUnpackedBytes = 1 << 20;
    // Two entries that pass alone but not together, zeros that pack into a few kilobytes.
    ASSERT_TRUE(WriteTestZip(m_zip, {{"Vistal", QByteArray(600 << 10, '\0')},
                                     {"language/language.eng", QByteArray(600 << 10, '\0')}}));
    EXPECT_EQ(InstallPackage(m_zip, m_install, small), 0);
    EXPECT_EQ(DescribeTree(m_install), before);
    // More than the folder's free space less the margin.
    PackageLimits noRoom;
    noRoom.freeSpaceMargin = ~uint64_t(0) >> 1;
    ASSERT_TRUE(WriteTestZip(m_zip, {{"Vistal", "new client"}}));
    EXPECT_EQ(InstallPackage(m_zip, m_install, noRoom), 0);
    EXPECT_EQ(DescribeTree(m_install), before);
    EXPECT_EQ(InstallPackage(m_zip, m_install, small), 1);
}

TEST_F(UnzipperTest, CapsModesAndNeverMakesLinks) {
    struct Case {
        const char* name;
        uint32_t unixMode;
        mode_t expected;
    } cases[] = {
        {"tool", 0100777, 0755},    {"setuid", 0104755, 0755}, {"data.txt", 0100666, 0644},
        {"private", 0100600, 0600}, {"link", 0120777, 0644},
    };
    std::vector<TestZipEntry> entries;
    for (const Case& c : cases) {
        TestZipEntry e{c.name, "/etc/passwd"};
        e.externalAttributes = c.unixMode << 16;
        e.madeOnUnix = true;
        entries.push_back(e);
    }
    ASSERT_TRUE(WriteTestZip(m_zip, entries));
    ASSERT_EQ(InstallPackage(m_zip, m_install), 1);
    for (const Case& c : cases) {
        struct stat st;
        ASSERT_EQ(lstat(QFile::encodeName(m_install + QLatin1Char('/') + c.name).constData(), &st), 0)
            << c.name;
        EXPECT_TRUE(S_ISREG(st.st_mode)) << c.name;
        EXPECT_EQ(st.st_mode & 07777, c.expected) << c.name;
    }
}

TEST(EntryNames, SafeAndUnsafe) {
    for (const char* safe : {"Vistal", "a/b/c.txt", "dir/", "a..b", "..hidden", "x/./y",
                             "vistal-update.journal", "a.vistal-update.journal"})
        EXPECT_TRUE(IsSafeEntryName(QString::fromLatin1(safe))) << safe;
    for (const char* unsafe : {"", "/etc/passwd", "\\x", "..", "../x", "a/../../x", "a\\..\\x", "C:x", "c:/x",
                               ".vistal-update.journal", "a/.vistal-update.journal",
                               ".VISTAL-UPDATE.JOURNAL.x1", "a\\.vistal-update.journal"})
        EXPECT_FALSE(IsSafeEntryName(QString::fromLatin1(unsafe))) << unsafe;
}

}  // namespace
