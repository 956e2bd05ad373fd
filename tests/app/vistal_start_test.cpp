// Starts the real Vistal program on an empty program folder and checks what it prepares.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "core/install_journal.h"
#include "platform/system/copydata_endpoint.h"
#include "platform/system/instance_lock.h"
#include "resources/language/builtin_language.h"
#include "tests/unwritable_folder.h"
#include "updater/close_request.h"
#include "updater/version_resource.h"

namespace {

QByteArray Utf16(const QString& text) {
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return bytes;
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The main window covers the offscreen platform's 800 x 800 screen; its end stores the place as
// bottom << 16 | right, with 16 screens per page.
constexpr int kOffscreenPointStop = 800 << 16 | 800;

QString SystemIniText(const char* version, int language) {
    return QStringLiteral(
               "[SYSTEM]\nVersion=%1\n\nDestination=1\nWanLine=0\nSystemUser=\nSystemPassword=\nLanguage=%"
               "2\n\n"
               "RecordDisks=C\nRecordDir=Records\nSnapshotPath=C:\\Snapshots\\\nDiskFullAction="
               "1\nPopupMessage=1\n"
               "ScrollInterval=5\nEnableBeep=0\nAutorun=0\nEnableUpdate=0\nEnableRGB=0\nShowDevice=0\n\n["
               "USER]\n"
               "RememberPassword=0\nAutoLogin=0\nName=\nPassword=\nScreenNum=16\nPointStart=0\nPointStop="
               "%3\n\n")
        .arg(QString::fromLatin1(version))
        .arg(language)
        .arg(kOffscreenPointStop);
}

class VistalStart : public ::testing::Test {
protected:
    QTemporaryDir root;
    QString home, drive, runtime;
    QByteArray errors;  // the last run's standard error
    void SetUp() override {
        home = root.filePath("Program Folder");
        drive = root.filePath("c");
        runtime = root.filePath("run");
        QDir().mkpath(home);
        QDir().mkpath(drive);
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    // A journal and the staged file it names, left as a killed Updater leaves them.
    void LeaveAnUpdateStoppedWhileUnpacking(const QString& staged) {
        InstallJournal journal;
        ASSERT_EQ(journal.Begin(home), 0);
        ASSERT_EQ(journal.NoteTemporary(staged), 0);
        QFile file(staged);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[SYSTEM]\nVersion=9.9.9\n");
    }
    int Run(const char* locale, int timeoutMs = 20000) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VISTAL_HOME", home);
        env.insert("VISTAL_DRIVE_C", drive);
        env.insert("XDG_RUNTIME_DIR", runtime);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("LANG", QString::fromLatin1(locale));
        env.remove("LC_ALL");
        env.remove("LC_MESSAGES");
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(VISTAL_BINARY), {});
        // Once its main window runs the program ends only when asked: the Updater's close request is sent
        // until it is taken (a start that ends earlier, such as a second instance, never takes it).
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
        COPYDATASTRUCT close = {COPYDATA_CLOSE_REQUEST, 0, nullptr};
        bool finished = false;
        for (int waited = 0; waited < timeoutMs && !finished; waited += 200) {
            finished = p.waitForFinished(100);
            if (!finished && SendCopyData(static_cast<pid_t>(p.processId()), 0, close, 100) == 0)
                break;
        }
        if (!finished && !p.waitForFinished(timeoutMs)) {
            p.kill();
            p.waitForFinished();
            return -100;
        }
        errors = p.readAllStandardError();
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -200;
    }
};

TEST_F(VistalStart, PreparesAnEmptyProgramFolder) {
    struct Case {
        const char* locale;
        int language;
    } cases[] = {{"zh_CN.UTF-8", 1}, {"zh_TW.UTF-8", 2}, {"en_US.UTF-8", 0}};
    for (const Case& c : cases) {
        QDir(home).removeRecursively();
        QDir().mkpath(home);
        ASSERT_EQ(Run(c.locale), 0) << c.locale;
        EXPECT_EQ(ReadAll(home + "/system.ini"), Utf16(SystemIniText("0.0.1", c.language))) << c.locale;
    }
    EXPECT_EQ(ReadAll(home + "/language.ini"),
              Utf16("[LANGUAGE]\nNumber=3\n\n[0]\nFile=.\\language\\language.eng\n[1]\n"
                    "File=.\\language\\language.chs\n[2]\nFile=.\\language\\language.cht\n"));
    const char* names[] = {"language.eng", "language.chs", "language.cht"};
    for (int i = 0; i < 3; ++i) {
        QString expected =
            QString::fromUtf8(BuiltinLanguageText(i)).replace("Version=1.0.0\n", "Version=4.4.2\n");
        EXPECT_EQ(ReadAll(home + "/language/" + names[i]), Utf16(expected)) << names[i];
    }
    // The main window's end writes the empty grid: the mark and 64 entries.
    EXPECT_EQ(QFileInfo(home + "/data/view.dat").size(), 514);
    for (const char* folder : {"data", "index", "language"})
        EXPECT_TRUE(QFileInfo(home + "/" + folder).isDir());
    EXPECT_TRUE(QFileInfo(drive + "/Snapshots").isDir());
}

TEST_F(VistalStart, SecondStartUpgradesTheSettings) {
    ASSERT_EQ(Run("en_US.UTF-8"), 0);
    ASSERT_EQ(Run("en_US.UTF-8"), 0);
    EXPECT_EQ(ReadAll(home + "/system.ini"), Utf16(SystemIniText("4.4.2", 0)));
    ASSERT_EQ(Run("en_US.UTF-8"), 0);  // nothing more to upgrade
    EXPECT_EQ(ReadAll(home + "/system.ini"), Utf16(SystemIniText("4.4.2", 0)));
}

TEST_F(VistalStart, ASecondInstanceEndsAtOnce) {
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    bool heldElsewhere = false;
    InstanceLock* first = InstanceLock::Acquire("{5B1E3C4A-8F2D-4E61-9A7C-3D0B2F6E9C17}", &heldElsewhere);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Run("en_US.UTF-8", 5000), 0);
    EXPECT_FALSE(QFileInfo::exists(home + "/system.ini"));
    // A start from a terminal says why it ended (the lock's holder here shows no window).
    EXPECT_TRUE(errors.contains("another Vistal of this user is running but shows no window yet"))
        << errors.constData();
    delete first;
    EXPECT_EQ(Run("en_US.UTF-8"), 0);
    EXPECT_TRUE(QFileInfo::exists(home + "/system.ini"));
}

// A lock folder that others may enter (or that another user made first) is never used: the program says
// so on standard error and ends with a failure before it prepares anything.
TEST_F(VistalStart, RefusesALockFolderOthersMayEnter) {
    const QString folder = runtime + "/vistal";
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                  QFileDevice::ExeOther));
    EXPECT_EQ(Run("en_US.UTF-8", 5000), 1);
    EXPECT_TRUE(errors.contains("vistal has mode 0705, not 0700")) << errors.constData();
    EXPECT_FALSE(QFileInfo::exists(home + "/system.ini"));
    ASSERT_TRUE(QFile::setPermissions(
        folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    EXPECT_EQ(Run("en_US.UTF-8"), 0);
    EXPECT_TRUE(QFileInfo::exists(home + "/system.ini"));
}

// An update stopped half-way (its journal left in the program folder, no Updater holding it) is undone by
// the next start before the program reads its folder: the staged file and the journal are gone.
TEST_F(VistalStart, UndoesAnUpdateStoppedHalfWay) {
    const QString staged = home + "/.system.ini.Ab12Cd";
    ASSERT_NO_FATAL_FAILURE(LeaveAnUpdateStoppedWhileUnpacking(staged));
    ASSERT_TRUE(QFileInfo::exists(home + "/" + INSTALL_JOURNAL_NAME));
    ASSERT_EQ(Run("en_US.UTF-8"), 0);
    EXPECT_FALSE(QFileInfo::exists(staged));
    EXPECT_FALSE(QFileInfo::exists(home + "/" + INSTALL_JOURNAL_NAME));
    EXPECT_EQ(ReadAll(home + "/system.ini"), Utf16(SystemIniText("0.0.1", 0)));
}

// An update stopped half-way in a program folder that cannot be written: the program says so and ends
// with a failure, touching nothing; the next start in a folder it may write undoes the update and goes on.
TEST_F(VistalStart, EndsOnAnUpdateItCannotRecoverAndRecoversItOnceItCan) {
    const QString staged = home + "/.system.ini.Ab12Cd";
    ASSERT_NO_FATAL_FAILURE(LeaveAnUpdateStoppedWhileUnpacking(staged));
    {
        UnwritableFolder readOnly(home);
        if (!readOnly.Holds())
            GTEST_SKIP()
                << "neither the folder's mode nor the immutable flag keeps this process from writing";
        EXPECT_EQ(Run("en_US.UTF-8", 5000), 1);
        EXPECT_TRUE(errors.contains("Vistal cannot start: an update stopped half-way in"))
            << errors.constData();
        EXPECT_TRUE(QFileInfo::exists(staged));
        EXPECT_FALSE(QFileInfo::exists(home + "/system.ini"));
    }
    ASSERT_EQ(Run("en_US.UTF-8"), 0);
    EXPECT_FALSE(QFileInfo::exists(staged));
    EXPECT_FALSE(QFileInfo::exists(home + "/" + INSTALL_JOURNAL_NAME));
    EXPECT_TRUE(QFileInfo::exists(home + "/system.ini"));
}

// Under umask 000 the program's files still get 0600 (those that hold credentials) or 0644.
TEST_F(VistalStart, FilesGetTheirModesWhateverTheUmask) {
    const mode_t saved = umask(0);
    const int code = Run("en_US.UTF-8");
    umask(saved);
    ASSERT_EQ(code, 0);
    const struct {
        const char* file;
        mode_t mode;
    } cases[] = {{"system.ini", 0600},
                 {"language.ini", 0644},
                 {"language/language.eng", 0644},
                 {"data/view.dat", 0644}};
    for (const auto& c : cases) {
        struct stat st;
        ASSERT_EQ(stat(QFile::encodeName(home + "/" + c.file).constData(), &st), 0) << c.file;
        EXPECT_EQ(st.st_mode & 07777, c.mode) << c.file;
    }
    for (QDirIterator it(home, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
        const QString file = it.next();
        struct stat st;
        ASSERT_EQ(stat(QFile::encodeName(file).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777 & ~mode_t(0644), 0u) << file.toStdString();
    }
}

TEST(VistalBinary, CarriesTheFileVersionTheUpdaterReads) {
    CVersionResource version;
    ASSERT_EQ(version.Load(QStringLiteral(VISTAL_BINARY)), 1);
    EXPECT_EQ(version.GetFileVersion(), "4.4.2.0");
}

}  // namespace
