#include "updater/update_operations.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "tests/updater/test_zip.h"
#include "tools/updsrv/update_server.h"
#include "updater/updater_messages.h"
#include "updater/url_download.h"
#include "updater/version_compare.h"

namespace {

const QByteArray kPackagePath = "/update/dvrvistal/package.zip";

QByteArray Md5Hex(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex();
}

class UpdateOperationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_EQ(m_server.Start(), 0);
        m_files.descriptionUrl = UpdateDescriptionUrl(QString::fromLatin1(m_server.HostPort()));
        m_files.iniPath = m_dir.filePath(QStringLiteral("work/update.ini"));
        m_files.zipPath = m_dir.filePath(QStringLiteral("work/update.zip"));
        m_files.appDir = m_dir.filePath(QStringLiteral("install"));
        m_files.clientPath = m_files.appDir + QStringLiteral("/Vistal");
        ASSERT_TRUE(QDir().mkpath(m_dir.filePath(QStringLiteral("work"))));
        ASSERT_TRUE(QDir().mkpath(m_files.appDir));
        ASSERT_TRUE(WriteWholeFile(m_files.clientPath, ClientBinary("4.4.2.0")));
    }

    static QByteArray ClientBinary(const QByteArray& version) {
        return QByteArray(
                   "\x7f"
                   "ELF...code...",
                   15) +
               QByteArray(1, '\0') + "VISTAL-FILEVERSION=" + version + QByteArray(1, '\0') + "more code";
    }

    void Offer(const QByteArray& version, const QByteArray& package, const QByteArray& hash) {
        m_server.SetFile(kUpdateDescriptionPath,
                         MakeUpdateDescription(version, m_server.UrlOf(kPackagePath), hash));
        m_server.SetFile(kPackagePath, package);
    }

    int RunUpdate() {
        m_progress.clear();
        return DoUpdate(m_files, [this](int position) { m_progress.append(position); });
    }

    QTemporaryDir m_dir;
    UpdateServer m_server;
    UpdateFiles m_files;
    QList<int> m_progress;
};

TEST(VersionCompare, NumberByNumber) {
    struct Case {
        const char* offered;
        const char* installed;
        bool newer;
    };
    const Case cases[] = {
        {"4.4.3", "4.4.2.0", true},
        {"4.4.2", "4.4.2.0", false},
        {"4.4", "4.4.2.0", false},
        {"1.0.0", "4.4.2.0", false},
        {"5.0.0", "4,4,2,0", true},
        {"4.4.2.9", "4.4.2.0", false},
        {"not a version", "0.0.1", false},
        {"0.0.1", "", true},
        // Above 255 the numbers no longer run into each other.
        {"4.4.256", "4.4.255", true},
        {"4.4.256", "4.5.0", false},
        {"4.5.0", "4.4.256", true},
        {"1.300.0", "2.0.0", false},
        // Commas separate only the installed version's numbers: "4,4,3" offers 4.0.0.
        {"4,4,3", "4.0.0.0", false},
        {"4,4,3", "3.9.9.0", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsVersionNewer(QString::fromLatin1(c.offered), QString::fromLatin1(c.installed)), c.newer)
            << c.offered << " vs " << c.installed;
    }
}

TEST_F(UpdateOperationsTest, CheckAgainstServer) {
    struct Case {
        const char* what;
        QByteArray description;  // empty: the server answers 404
        QByteArray client;       // empty: no client executable
        int expected;
    };
    const Case cases[] = {
        {"newer", MakeUpdateDescription("4.4.3", "x", "y"), ClientBinary("4.4.2.0"), CHECK_RESULT_NEWER},
        {"current", MakeUpdateDescription("4.4.2", "x", "y"), ClientBinary("4.4.2.0"), CHECK_RESULT_CURRENT},
        {"older offered", MakeUpdateDescription("4.4.1", "x", "y"), ClientBinary("4.4.2.0"),
         CHECK_RESULT_CURRENT},
        {"no Version key", MakeUpdateDescription("", "x", "y"), ClientBinary("0.0.0.1"),
         CHECK_RESULT_CURRENT},
        {"no description", QByteArray(), ClientBinary("4.4.2.0"), CHECK_RESULT_FAILED},
        {"client without version text", MakeUpdateDescription("4.4.2", "x", "y"), "plain bytes",
         CHECK_RESULT_NEWER},
        {"no client", MakeUpdateDescription("4.4.2", "x", "y"), QByteArray(), CHECK_RESULT_NEWER},
    };
    for (const Case& c : cases) {
        m_server.Clear();
        if (!c.description.isEmpty())
            m_server.SetFile(kUpdateDescriptionPath, c.description);
        QFile::remove(m_files.clientPath);
        if (!c.client.isEmpty()) {
            ASSERT_TRUE(WriteWholeFile(m_files.clientPath, c.client));
        }
        EXPECT_EQ(CheckVersion(m_files), c.expected) << c.what;
    }
}

// Bodies past their limits, or slower than an overall time limit, fail and leave no file; a slow body
// that keeps moving arrives when there is no overall limit.
TEST_F(UpdateOperationsTest, DownloadsKeepToTheirLimits) {
    const QByteArray path = "/body";
    struct Case {
        const char* what;
        QByteArray piece;
        int pieces;  // 0: piece is a file of announced length
        int intervalMs;
        DownloadLimits limits;
        int expected;
    } cases[] = {
        {"endless body", QByteArray(64 << 10, 'x'), 512, 0, {1 << 20, 0}, -1},
        {"announced length past the limit", QByteArray(2 << 20, 'x'), 0, 0, {1 << 20, 0}, -1},
        {"slower than the overall limit", "x", 40, 100, {1 << 20, 1}, -1},
        {"slow but moving", "x", 12, 100, {1 << 20, 0}, 0},
        {"exactly the limit", QByteArray(1024, 'x'), 4, 0, {4096, 0}, 0},
    };
    const QString target = m_dir.filePath(QStringLiteral("work/body"));
    for (const Case& c : cases) {
        if (c.pieces == 0)
            m_server.SetFile(path, c.piece);
        else
            m_server.SetStreamed(path, c.piece, c.pieces, c.intervalMs);
        EXPECT_EQ(DownloadUrlToFile(QString::fromLatin1(m_server.UrlOf(path)), target, c.limits), c.expected)
            << c.what;
        if (c.expected == 0)
            EXPECT_EQ(QFileInfo(target).size(), c.piece.size() * c.pieces) << c.what;
        else
            EXPECT_FALSE(QFileInfo::exists(target)) << c.what;
    }
}

TEST_F(UpdateOperationsTest, CheckFailsOnAnEndlessDescription) {
    m_server.SetStreamed(kUpdateDescriptionPath, QByteArray(64 << 10, '\n'), 512, 0);
    EXPECT_EQ(CheckVersion(m_files), CHECK_RESULT_FAILED);
    EXPECT_FALSE(QFileInfo::exists(m_files.iniPath));
}

TEST_F(UpdateOperationsTest, CheckFailsWhenServerIsDown) {
    m_server.Stop();
    EXPECT_EQ(CheckVersion(m_files), CHECK_RESULT_FAILED);
}

TEST_F(UpdateOperationsTest, CheckReadsVersionOfBuiltClient) {
    // The fixture client carries the text the way the client does: 4.4.2.0.
    m_files.clientPath = QStringLiteral(FIXTURE_CLIENT_PATH);
    m_server.SetFile(kUpdateDescriptionPath, MakeUpdateDescription("4.4.2", "x", "y"));
    EXPECT_EQ(CheckVersion(m_files), CHECK_RESULT_CURRENT);
    m_server.SetFile(kUpdateDescriptionPath, MakeUpdateDescription("4.4.3", "x", "y"));
    EXPECT_EQ(CheckVersion(m_files), CHECK_RESULT_NEWER);
}

TEST_F(UpdateOperationsTest, GoodPackageIsInstalled) {
    const QString package = m_dir.filePath(QStringLiteral("made.zip"));
    ASSERT_TRUE(
        WriteTestZip(package, {{"Vistal", ClientBinary("4.4.3.0")}, {"language/language.eng", "texts"}}));
    QByteArray bytes = ReadWholeFile(package);
    // The digest is compared ignoring letter case.
    Offer("4.4.3", bytes, Md5Hex(bytes).toUpper());
    ASSERT_EQ(CheckVersion(m_files), CHECK_RESULT_NEWER);
    EXPECT_EQ(RunUpdate(), 1);
    EXPECT_EQ(m_progress, QList<int>{UPDATE_PROGRESS_MAX});
    EXPECT_EQ(ReadWholeFile(m_files.appDir + QStringLiteral("/language/language.eng")), "texts");
    EXPECT_EQ(CheckVersion(m_files), CHECK_RESULT_CURRENT);
    EXPECT_EQ(ComputeFileMd5(m_files.zipPath), QString::fromLatin1(Md5Hex(bytes)));
}

TEST_F(UpdateOperationsTest, FailedUpdatesLeaveInstallationUnchanged) {
    const QString package = m_dir.filePath(QStringLiteral("made.zip"));
    ASSERT_TRUE(WriteTestZip(package, {{"Vistal", ClientBinary("4.4.3.0")}}));
    const QByteArray good = ReadWholeFile(package);
    ASSERT_TRUE(
        WriteTestZip(package, {{"Vistal", ClientBinary("4.4.3.0")}, {"STORED-FILE", "CRC-VICTIM", true}}));
    ASSERT_TRUE(CorruptBytesInFile(package, "CRC-VICTIM"));
    const QByteArray badCrc = ReadWholeFile(package);
    ASSERT_TRUE(WriteTestZip(package, {{"Vistal", ClientBinary("4.4.3.0")}, {"../../escaped", "x"}}));
    const QByteArray escaping = ReadWholeFile(package);
    const QByteArray broken = good.left(good.size() - 30);

    struct Case {
        const char* what;
        QByteArray description;
        QByteArray package;  // empty: the package is not on the server
    };
    const QByteArray url = m_server.UrlOf(kPackagePath);
    const Case cases[] = {
        {"wrong digest", MakeUpdateDescription("4.4.3", url, QByteArray(32, '0')), good},
        {"no Hash", MakeUpdateDescription("4.4.3", url, ""), good},
        {"no Url", MakeUpdateDescription("4.4.3", "", Md5Hex(good)), good},
        {"package missing", MakeUpdateDescription("4.4.3", url, Md5Hex(good)), QByteArray()},
        {"empty package", MakeUpdateDescription("4.4.3", url, Md5Hex("")), QByteArray("")},
        {"broken archive", MakeUpdateDescription("4.4.3", url, Md5Hex(broken)), broken},
        {"bad CRC", MakeUpdateDescription("4.4.3", url, Md5Hex(badCrc)), badCrc},
        {"escaping entry", MakeUpdateDescription("4.4.3", url, Md5Hex(escaping)), escaping},
    };
    const QString before = DescribeTree(m_files.appDir);
    for (const Case& c : cases) {
        m_server.Clear();
        m_server.SetFile(kUpdateDescriptionPath, c.description);
        if (!c.package.isNull())
            m_server.SetFile(kPackagePath, c.package);
        ASSERT_EQ(CheckVersion(m_files), CHECK_RESULT_NEWER) << c.what;
        EXPECT_EQ(RunUpdate(), 0) << c.what;
        EXPECT_TRUE(m_progress.isEmpty()) << c.what;
        EXPECT_EQ(DescribeTree(m_files.appDir), before) << c.what;
        EXPECT_FALSE(QFileInfo::exists(m_dir.filePath(QStringLiteral("escaped")))) << c.what;
    }
}

}  // namespace
