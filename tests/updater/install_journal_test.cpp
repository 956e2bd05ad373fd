// The update's journal trusts only what lies inside the installation folder it recovers, follows that
// folder when it is renamed, is kept for the next start when it cannot be acted on now, and a termination
// signal during the commit leaves the installation whole.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>

#include "core/install_journal.h"
#include "tests/unwritable_folder.h"
#include "tests/updater/stopped_install.h"
#include "tests/updater/test_zip.h"

namespace {

class InstallJournalTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_install = m_dir.filePath(QStringLiteral("install"));
        m_zip = m_dir.filePath(QStringLiteral("update.zip"));
        RestoreOldInstallation(m_install);
        m_oldTree = DescribeTree(m_install);
        ASSERT_TRUE(WriteTestZip(m_zip, {
                                            {"Vistal", "new client"},
                                            {"language/language.eng", "new texts"},
                                            {"skins/new.bmp", "new picture"},
                                            {"skins/deeper/more.bmp", "more"},
                                            {"readme.txt", "new file"},
                                        }));
        m_steps = CountInstallSteps(m_zip, m_install);
        m_newTree = DescribeTree(m_install);
        RestoreOldInstallation(m_install);
    }
    // The installation as every test starts from: the client and its English texts.
    static void RestoreOldInstallation(const QString& folder) { ASSERT_TRUE(WriteOldInstallation(folder)); }
    QString Journal(const QString& folder) const { return folder + QLatin1Char('/') + INSTALL_JOURNAL_NAME; }

    QTemporaryDir m_dir;
    QString m_install;
    QString m_zip;
    QString m_oldTree;
    QString m_newTree;
    int m_steps = 0;
    // The package's steps: 5 entries unpacked, then the commit (the plan, 2 old files aside, 5 moved in,
    // done, 2 old removed, the journal removed).
    static constexpr int kFirstCommitStep = 5;
};

// A journal that names anything outside the folder (climbing out, absolute, the folder's own journal, or
// in the older form a path in another folder) is refused whole: nothing is touched, the file outside
// survives, the journal stays and the refusal says which path.
TEST_F(InstallJournalTest, RecoveryRefusesAJournalNamingPathsOutsideTheFolder) {
    const QString outside = m_dir.filePath(QStringLiteral("outside.txt"));
    const QString sibling = m_dir.filePath(QStringLiteral("install-other/outside.txt"));
    const QByteArray mark = "vistal-install-journal 2\n";
    const QByteArray abs = QFile::encodeName(outside).toPercentEncoding();
    const QByteArray inside =
        QFile::encodeName(m_install + QStringLiteral("/.Vistal.Ab12Cd")).toPercentEncoding();
    struct Case {
        const char* what;
        QByteArray journal;
        QString named;  // what the refusal names
    };
    const Case cases[] = {
        {"climbing temporary", mark + "temp ..%2Foutside.txt\n", QStringLiteral("../outside.txt")},
        {"climbing folder", mark + "folder language/../../outside.txt\n",
         QStringLiteral("language/../../outside.txt")},
        {"absolute path in the relative form", mark + "temp " + abs + "\n", outside},
        {"finished move onto a file outside", mark + "move .Vistal.Ab12Cd ../outside.txt -\nplan-end\ndone\n",
         QStringLiteral("../outside.txt")},
        {"undone move from outside", mark + "move Vistal .Vistal.new ../outside.txt\nplan-end\n",
         QStringLiteral("../outside.txt")},
        {"the journal itself", mark + "temp .vistal-update.journal\n",
         QStringLiteral(".vistal-update.journal")},
        {"older form, another folder", "temp " + inside + "\ntemp " + abs + "\n", outside},
        {"older form, a folder of the same beginning",
         "temp " + QFile::encodeName(sibling).toPercentEncoding() + "\n", sibling},
        {"older form, climbing out",
         "temp " + QFile::encodeName(m_install + QStringLiteral("/../outside.txt")).toPercentEncoding() +
             "\n",
         m_install + QStringLiteral("/../outside.txt")},
        {"older form, a relative path", "temp Vistal\n", QStringLiteral("Vistal")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteWholeFile(outside, "keep me"));
        ASSERT_TRUE(QDir().mkpath(QFileInfo(sibling).path()));
        ASSERT_TRUE(WriteWholeFile(sibling, "keep me too"));
        ASSERT_TRUE(WriteWholeFile(Journal(m_install), c.journal));
        const QString before = DescribeTree(m_install);
        QString problem;
        EXPECT_EQ(RecoverInstall(m_install, &problem), RECOVERY_REFUSED);
        EXPECT_TRUE(problem.contains(c.named)) << problem.toStdString();
        EXPECT_EQ(ReadWholeFile(outside), "keep me");
        EXPECT_EQ(ReadWholeFile(sibling), "keep me too");
        EXPECT_EQ(DescribeTree(m_install), before);
        // Nothing may be unpacked over it either.
        EXPECT_EQ(InstallPackage(m_zip, m_install), 0);
        EXPECT_EQ(DescribeTree(m_install), before);
        QFile::remove(Journal(m_install));
    }
}

// A journal of the older form, whose absolute paths all lie inside the folder, is still acted on.
TEST_F(InstallJournalTest, AnOlderJournalInsideTheFolderIsStillRecovered) {
    const QString client = m_install + QStringLiteral("/Vistal");
    const QString aside = m_install + QStringLiteral("/.Vistal.old-As1de0");
    const QString staged = m_install + QStringLiteral("/.Vistal.Qw3rTy");
    const QString folder = m_install + QStringLiteral("/skins");
    auto word = [](const QString& path) { return QFile::encodeName(path).toPercentEncoding(); };
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(WriteWholeFile(folder + QStringLiteral("/.new.bmp.Zx98Yw"), "new picture"));
    ASSERT_TRUE(QFile::rename(client, aside));
    ASSERT_TRUE(WriteWholeFile(client, "new client"));
    // Stopped after the client was moved in, before the picture was.
    ASSERT_TRUE(WriteWholeFile(
        Journal(m_install), "folder " + word(folder) + "\ntemp " + word(staged) + "\ntemp " +
                                word(folder + QStringLiteral("/.new.bmp.Zx98Yw")) + "\nmove " + word(staged) +
                                ' ' + word(client) + ' ' + word(aside) + "\nmove " +
                                word(folder + QStringLiteral("/.new.bmp.Zx98Yw")) + ' ' +
                                word(folder + QStringLiteral("/new.bmp")) + " -\nplan-end\n"));
    EXPECT_EQ(RecoverInstall(m_install + QStringLiteral("/")), RECOVERY_ROLLED_BACK);
    EXPECT_EQ(DescribeTree(m_install).toStdString(), m_oldTree.toStdString());
    EXPECT_FALSE(QFileInfo::exists(folder));
}

// Stopped at every step, the folder renamed, then started again: the start in the new place leaves the
// whole old or the whole new installation there.
TEST_F(InstallJournalTest, AFolderRenamedAfterAStopIsRecoveredInItsNewPlace) {
    ASSERT_EQ(m_steps, 17);
    const QString moved = m_dir.filePath(QStringLiteral("moved/elsewhere"));
    ASSERT_TRUE(QDir().mkpath(m_dir.filePath(QStringLiteral("moved"))));
    int finished = 0;
    for (int stop = 0; stop < m_steps; ++stop) {
        SCOPED_TRACE(stop);
        QDir(moved).removeRecursively();
        RestoreOldInstallation(m_install);
        ASSERT_EQ(InstallInChild(m_zip, m_install, stop), 3);
        ASSERT_TRUE(QDir().rename(m_install, moved));
        const InstallRecovery recovery = RecoverInstall(moved);
        const QString after = DescribeTree(moved);
        if (after == m_newTree) {
            EXPECT_EQ(recovery, RECOVERY_FINISHED);
            ++finished;
        } else {
            EXPECT_EQ(after.toStdString(), m_oldTree.toStdString());
        }
        EXPECT_FALSE(QFileInfo::exists(m_install));
    }
    EXPECT_EQ(finished, 3);
}

// A folder that cannot be written after a stop mid-commit: recovery says so, changes nothing and keeps
// the journal; once the folder can be written again the next recovery undoes the run.
TEST_F(InstallJournalTest, ARecoveryThatCannotRunKeepsTheJournalForTheNextStart) {
    // Stopped after the old files went aside and two new ones came in.
    ASSERT_EQ(InstallInChild(m_zip, m_install, kFirstCommitStep + 1 + 2 + 2), 3);
    const QString mixed = DescribeTree(m_install);
    ASSERT_NE(mixed, m_oldTree);
    {
        UnwritableFolder readOnly(m_install);
        if (!readOnly.Holds())
            GTEST_SKIP()
                << "neither the folder's mode nor the immutable flag keeps this process from writing";
        QString problem;
        EXPECT_EQ(RecoverInstall(m_install, &problem), RECOVERY_FAILED);
        EXPECT_TRUE(problem.contains(m_install)) << problem.toStdString();
        EXPECT_EQ(DescribeTree(m_install), mixed);
        // Nothing may be unpacked over it.
        EXPECT_EQ(InstallPackage(m_zip, m_install), 0);
        EXPECT_EQ(DescribeTree(m_install), mixed);
    }
    EXPECT_EQ(RecoverInstall(m_install), RECOVERY_ROLLED_BACK);
    EXPECT_EQ(DescribeTree(m_install).toStdString(), m_oldTree.toStdString());
}

// A termination signal at any step of the commit ends the program by that signal, after the commit was
// undone (before every new file was in) or finished (after): no journal is left for the next start, and
// the signal handler's own folder is gone. A signal while entries are unpacked ends it at once; the next
// start then cleans up.
TEST_F(InstallJournalTest, ATerminationSignalDuringTheCommitUndoesOrFinishesIt) {
    const QString signalFolder = m_dir.filePath(QStringLiteral("updater-temp"));
    int finished = 0;
    for (int stop = 0; stop < m_steps; ++stop) {
        SCOPED_TRACE(stop);
        RestoreOldInstallation(m_install);
        ASSERT_TRUE(QDir().mkpath(signalFolder));
        EXPECT_EQ(InstallInChild(m_zip, m_install, stop, StopBy::TerminationSignal, signalFolder),
                  128 + SIGTERM);
        EXPECT_FALSE(QFileInfo::exists(signalFolder));
        if (stop < kFirstCommitStep) {
            EXPECT_TRUE(QFileInfo::exists(Journal(m_install)));
            EXPECT_EQ(RecoverInstall(m_install), RECOVERY_CLEANED);
        }
        const QString after = DescribeTree(m_install);
        if (after == m_newTree)
            ++finished;
        else
            EXPECT_EQ(after.toStdString(), m_oldTree.toStdString());
    }
    // Signalled once every new file was in (at the done mark, the removal of either old file or of the
    // journal), the commit was finished.
    EXPECT_EQ(finished, 4);
}

}  // namespace
