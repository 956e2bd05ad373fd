// The programs' files get 0600 or 0644 whatever the process's umask, and a file written again never
// gets wider than that.

#include "platform/system/file_modes.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QSaveFile>
#include <QTemporaryDir>

#include "platform/system/profile.h"

namespace {

mode_t ModeOf(const QString& path) {
    struct stat st;
    return stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : mode_t(07777);
}

// Sets the umask for the life of the object.
class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask) : m_saved(umask(mask)) {}
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;
    ~ScopedUmask() { umask(m_saved); }

private:
    mode_t m_saved;
};

bool SaveWith(const QString& path, mode_t mode) {
    QSaveFile file(path);
    return OpenSaveFile(&file, mode) && file.write("x") == 1 && file.commit();
}

bool OpenWith(const QString& path, int flags, mode_t mode) {
    int fd = OpenFileWithMode(QFile::encodeName(path), flags, mode);
    if (fd < 0)
        return false;
    close(fd);
    return true;
}

TEST(FileModes, NewFilesGetTheirModeWhateverTheUmask) {
    for (mode_t mask : {mode_t(000), mode_t(022), mode_t(077), mode_t(0277)}) {
        SCOPED_TRACE(mask);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        ScopedUmask scoped(mask);
        for (mode_t mode : {FILE_MODE_SHARED, FILE_MODE_PRIVATE}) {
            const QString saved = dir.filePath(QStringLiteral("saved%1").arg(mode));
            const QString opened = dir.filePath(QStringLiteral("opened%1").arg(mode));
            const QString created = dir.filePath(QStringLiteral("created%1").arg(mode));
            ASSERT_TRUE(SaveWith(saved, mode));
            ASSERT_TRUE(OpenWith(opened, O_WRONLY | O_CREAT | O_TRUNC, mode));
            ASSERT_TRUE(OpenWith(created, O_RDWR | O_CREAT | O_EXCL, mode));
            EXPECT_EQ(ModeOf(saved), mode);
            EXPECT_EQ(ModeOf(opened), mode);
            EXPECT_EQ(ModeOf(created), mode);
        }
        // The INI engine: an ordinary file and one that holds credentials.
        const QString ini = dir.filePath(QStringLiteral("plain.ini"));
        const QString secret = dir.filePath(QStringLiteral("secret.ini"));
        SetProfileOwnerOnly(secret);
        ASSERT_NE(
            WritePrivateProfileString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v"), ini), 0);
        ASSERT_NE(
            WritePrivateProfileString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v"), secret),
            0);
        EXPECT_EQ(ModeOf(ini), FILE_MODE_SHARED);
        EXPECT_EQ(ModeOf(secret), FILE_MODE_PRIVATE);
    }
}

// A file written again keeps its own mode less what the wanted mode lacks: a wide one is narrowed, a
// narrow one is not widened.
TEST(FileModes, FilesWrittenAgainAreNeverWidened) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case {
        mode_t before;
        mode_t wanted;
        mode_t after;
    };
    const Case cases[] = {{0666, FILE_MODE_SHARED, 0644},
                          {0666, FILE_MODE_PRIVATE, 0600},
                          {0600, FILE_MODE_SHARED, 0600},
                          {0640, FILE_MODE_SHARED, 0640},
                          {0755, FILE_MODE_SHARED, 0644}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        const QString saved = dir.filePath(QStringLiteral("saved"));
        const QString opened = dir.filePath(QStringLiteral("opened"));
        for (const QString& path : {saved, opened}) {
            ASSERT_TRUE(OpenWith(path, O_WRONLY | O_CREAT | O_TRUNC, 0600));
            ASSERT_EQ(chmod(QFile::encodeName(path).constData(), c.before), 0);
        }
        ASSERT_TRUE(SaveWith(saved, c.wanted));
        ASSERT_TRUE(OpenWith(opened, O_WRONLY | O_CREAT | O_TRUNC, c.wanted));
        EXPECT_EQ(ModeOf(saved), c.after);
        EXPECT_EQ(ModeOf(opened), c.after);
    }
    // O_EXCL on an existing file fails as open(2) does.
    EXPECT_FALSE(
        OpenWith(dir.filePath(QStringLiteral("saved")), O_WRONLY | O_CREAT | O_EXCL, FILE_MODE_SHARED));
}

}  // namespace
