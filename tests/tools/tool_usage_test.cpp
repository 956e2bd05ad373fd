// The tools' command lines, run as the programs: --help prints the usage and ends at once with 0 (nothing
// listens, nothing is written); an unknown option, an option without its value and a bad value print the
// usage on stderr and end with 2.

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace {

struct Tool {
    const char* name;
    const char* path;
    QStringList known;     // an option the tool takes, with a good value
    QStringList badValue;  // an option the tool knows, with a value it refuses
};

const Tool kTools[] = {
    {"dvrsim", DVRSIM_PATH, {"--port", "0"}, {"--port", "70000"}},
    {"wansim", WANSIM_PATH, {"--port", "0"}, {"--fault", "nonsense"}},
    {"lansim", LANSIM_PATH, {"--port", "0"}, {"--dvr", "Gate,127.0.0.1"}},
    {"updsrv", UPDSRV_PATH, {"--port", "0"}, {"--port", "-1"}},
    {"homeprep", HOMEPREP_PATH, {"--home", "."}, {"--screens", "0"}},
};

struct Ended {
    bool finished = false;
    int exitCode = -1;
    QString out, err;
};

// The program's run, bounded: a tool that started listening instead of ending is killed and reported.
Ended RunTool(const Tool& tool, const QStringList& arguments, const QString& folder) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(QString::fromLatin1(tool.path), arguments);
    Ended ended;
    ended.finished = process.waitForStarted(10000) && process.waitForFinished(15000);
    if (!ended.finished) {
        process.kill();
        process.waitForFinished(5000);
    }
    ended.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    ended.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    ended.err = QString::fromLocal8Bit(process.readAllStandardError());
    return ended;
}

TEST(ToolUsage, HelpPrintsTheUsageAndAWrongCommandLineEndsWithTwo) {
    struct Case {
        const char* what;
        enum { kGiven, kAfterKnown, kBadValue } form;
        QStringList arguments;
        int exitCode;
        bool usageOnStdout;
        const char* says;  // on stderr
    } cases[] = {
        {"--help", Case::kGiven, {"--help"}, 0, true, ""},
        {"-h after an option", Case::kAfterKnown, {"-h"}, 0, true, ""},
        {"unknown option", Case::kGiven, {"--frobnicate", "1"}, 2, false, "unknown option --frobnicate"},
        {"option without its value", Case::kAfterKnown, {"--port"}, 2, false, "no value after --port"},
        {"bad value", Case::kBadValue, {}, 2, false, "bad value for "},
    };
    for (const Tool& tool : kTools) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(tool.name) + ": " + c.what);
            QTemporaryDir folder;
            ASSERT_TRUE(folder.isValid());
            const QStringList arguments = c.form == Case::kBadValue     ? tool.badValue
                                          : c.form == Case::kAfterKnown ? tool.known + c.arguments
                                                                        : c.arguments;
            const Ended ended = RunTool(tool, arguments, folder.path());
            ASSERT_TRUE(ended.finished) << "still running: " << ended.out.toStdString();
            EXPECT_EQ(ended.exitCode, c.exitCode) << ended.err.toStdString();
            const QString usage = QStringLiteral("usage: %1 ").arg(QString::fromLatin1(tool.name));
            EXPECT_EQ(ended.out.startsWith(usage), c.usageOnStdout) << ended.out.toStdString();
            EXPECT_EQ(ended.err.contains(usage), !c.usageOnStdout) << ended.err.toStdString();
            EXPECT_TRUE(ended.err.contains(QString::fromLatin1(c.says))) << ended.err.toStdString();
            EXPECT_FALSE(ended.out.contains(QStringLiteral("listening"))) << ended.out.toStdString();
            // Nothing was written where it ran (homeprep writes its folder only when it runs).
            EXPECT_TRUE(QDir(folder.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
        }
    }
}

}  // namespace
