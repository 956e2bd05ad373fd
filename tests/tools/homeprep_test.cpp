// The prepared program folder: what homeprep writes, read back by the client's own readers, and the
// exact bytes where a reader would forgive a fault.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/base64.h"
#include "core/system_settings.h"
#include "core/tarvik_app.h"
#include "dvr/device_list_node.h"
#include "dvr/device_tree.h"
#include "tools/homeprep/program_folder.h"
#include "ui/view_file.h"

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString Utf16Text(const QByteArray& bytes) {
    return QString(reinterpret_cast<const QChar*>(bytes.constData() + 2), (bytes.size() - 2) / 2);
}

ProgramFolderPlan TwoDvrPlan() {
    ProgramFolderPlan plan;
    plan.dvrs = {{"North gate", "127.0.0.1", 40001, "admin", "admin"},
                 {"Yard", "127.0.0.2", 40002, "viewer", ""}};
    plan.views = {{0, 0, 0}, {1, 0, 1}, {2, 1, 0}, {3, 1, 3}};
    return plan;
}

class ProgramFolder : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

TEST_F(ProgramFolder, SystemIniLogsTheLocalAccountInAutomaticallyInLanMode) {
    struct Case {
        QString user, password;
        int screens, language;
    } cases[] = {
        {"admin", "", 4, 0},
        {"operator", "se:cret pass", 9, 1},
        {QString::fromUtf8("J\xC3\xB6rg"), QString::fromUtf8("\xC3\xA9t\xC3\xA9"), 1, 2},  // code-page bytes
    };
    for (const Case& c : cases) {
        ProgramFolderPlan plan;
        plan.loginUser = c.user;
        plan.loginPassword = c.password;
        plan.screenNum = c.screens;
        plan.language = c.language;
        const QString path = Path("system.ini");
        ASSERT_EQ(WritePreparedSystemIni(path, plan), 0) << c.user.toStdString();
        const QByteArray written = ReadAll(path);

        CTarvikApp app;
        app.InitSystemIni(path);  // a client start finds nothing to upgrade and leaves the file alone
        EXPECT_EQ(ReadAll(path), written) << c.user.toStdString();
        app.m_iniSystem.SetPath(path);
        app.LoadSystemSettings();
        EXPECT_EQ(app.m_bLanMode, 1);
        EXPECT_EQ(app.m_bAutoLogin, 1);
        EXPECT_EQ(app.m_bRememberPassword, 1);
        EXPECT_EQ(app.m_strUserName, c.user);
        EXPECT_EQ(app.m_strUserPassword, c.password);
        EXPECT_EQ(app.m_strSystemUser, c.user);
        EXPECT_EQ(app.m_strSystemPassword, c.password);
        EXPECT_EQ(app.m_nScreenNum, c.screens);
        EXPECT_EQ(g_systemSettings.Language, c.language);
    }
}

TEST_F(ProgramFolder, SystemIniHoldsEveryKeyOfTheClientsOwnFile) {
    ProgramFolderPlan plan;
    plan.loginUser = "operator";
    plan.loginPassword = "pw";
    const QString path = Path("system.ini");
    ASSERT_EQ(WritePreparedSystemIni(path, plan), 0);
    const QByteArray bytes = ReadAll(path);
    ASSERT_GE(bytes.size(), 2);
    EXPECT_EQ(bytes.left(2), QByteArray("\xFF\xFE", 2));
    EXPECT_EQ(Utf16Text(bytes),
              "[SYSTEM]\nVersion=4.4.2\n\nDestination=0\nWanLine=0\nSystemUser=b3BlcmF0b3I=\n"
              "SystemPassword=cHc=\nLanguage=0\n\nRecordDisks=C\nRecordDir=Records\n"
              "SnapshotPath=C:\\Snapshots\\\nDiskFullAction=1\nPopupMessage=1\nScrollInterval=5\n"
              "EnableBeep=0\nAutorun=0\nEnableUpdate=0\nEnableRGB=0\nShowDevice=0\n\n[USER]\n"
              "RememberPassword=1\nAutoLogin=1\nName=b3BlcmF0b3I=\nPassword=cHc=\nScreenNum=4\n"
              "PointStart=0\nPointStop=0\n\n");
}

TEST_F(ProgramFolder, TreeFileListsEachDvrAtTheTopLevelWithStoredCredentials) {
    const ProgramFolderPlan plan = TwoDvrPlan();
    const QString path = Path("tree.dat");
    ASSERT_EQ(WritePreparedTree(path, plan), 0);
    const QByteArray bytes = ReadAll(path);
    ASSERT_EQ(bytes.size(), 2 + 2 * static_cast<int>(sizeof(DeviceTreeNode)));
    EXPECT_EQ(bytes.left(2), QByteArray("\xFF\xFE", 2));

    std::vector<DeviceTreeNode> records;
    ASSERT_EQ(ReadDeviceTreeFile(path, &records), 0);
    ASSERT_EQ(records.size(), 2u);
    for (size_t i = 0; i < records.size(); ++i) {
        DeviceTreeNode& node = records[i];
        const PreparedDvr& dvr = plan.dvrs[i];
        EXPECT_EQ(node.type, NODE_DVR);
        EXPECT_EQ(node.id, static_cast<int>(i));
        EXPECT_EQ(node.parentId, 0);
        EXPECT_EQ(NodeText(node.name), dvr.name);
        EXPECT_EQ(NodeText(node.host), dvr.host);
        EXPECT_EQ(node.port, dvr.port);
        EXPECT_EQ(NodeText(node.altHost), QString());
        EXPECT_EQ(node.altValue, 0);
        // Stored Base64 (an empty value stays empty), decoded by the tree loader.
        EXPECT_EQ(NodeText(node.user), WideToBase64(dvr.user));
        EXPECT_EQ(NodeText(node.password), WideToBase64(dvr.password));
        DecodeTreeCredentials(&node);
        EXPECT_EQ(NodeText(node.user), dvr.user);
        EXPECT_EQ(NodeText(node.password), dvr.password);
    }
    // Bytes after a text's NUL are zero, as in the records the client writes.
    const char* first = bytes.constData() + 2;
    const int nameEnd = 8 + 2 * static_cast<int>(plan.dvrs[0].name.size());
    EXPECT_EQ(QByteArray(first + nameEnd, 520 - nameEnd), QByteArray(520 - nameEnd, '\0'));
}

TEST_F(ProgramFolder, ViewFilePlacesTheChosenChannelsAndNothingElse) {
    const ProgramFolderPlan plan = TwoDvrPlan();
    const QString path = Path("view.dat");
    ASSERT_EQ(WritePreparedViews(path, plan), 0);
    EXPECT_EQ(ReadAll(path).size(), VIEW_FILE_SIZE);
    ViewEntry views[GRID_SCREENS];
    ASSERT_EQ(LoadViewFile(path, views), 4);
    const ViewEntry expected[4] = {{0, 0}, {0, 1}, {1, 0}, {1, 3}};
    for (int s = 0; s < GRID_SCREENS; ++s) {
        ViewEntry want = s < 4 ? expected[s] : ViewEntry{-1, -1};
        EXPECT_EQ(views[s].deviceId, want.deviceId) << s;
        EXPECT_EQ(views[s].channel, want.channel) << s;
    }

    struct Bad {
        const char* what;
        PreparedView view;
    } bad[] = {{"screen past the grid", {64, 0, 0}},
               {"unknown DVR", {5, 2, 0}},
               {"negative channel", {5, 0, -1}},
               {"channel already on screen 0", {5, 0, 0}}};
    for (const Bad& b : bad) {
        ProgramFolderPlan wrong = plan;
        wrong.views.push_back(b.view);
        EXPECT_EQ(WritePreparedViews(path, wrong), -1) << b.what;
    }
}

TEST_F(ProgramFolder, PreparesOnlyTheMissingFiles) {
    const QString home = Path("home");
    QDir().mkpath(home + "/data");
    QFile kept(home + "/data/view.dat");
    ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
    kept.write("operator's own");
    kept.close();

    QStringList written;
    ASSERT_EQ(PrepareProgramFolder(home, TwoDvrPlan(), &written), 0);
    EXPECT_EQ(written, QStringList({"system.ini", "data/tree.dat"}));
    EXPECT_EQ(ReadAll(home + "/data/view.dat"), QByteArray("operator's own"));
    const QByteArray tree = ReadAll(home + "/data/tree.dat");
    EXPECT_EQ(tree.size(), 2 + 2 * static_cast<int>(sizeof(DeviceTreeNode)));

    written.clear();
    ASSERT_EQ(PrepareProgramFolder(home, ProgramFolderPlan(), &written), 0);
    EXPECT_TRUE(written.isEmpty());
    EXPECT_EQ(ReadAll(home + "/data/tree.dat"), tree);
}

TEST(HomeprepArguments, ReadsThePlanAndRefusesWhatCannotBeWritten) {
    ProgramFolderPlan plan;
    QString home, error;
    ASSERT_EQ(ParsePlanArguments(
                  {"--home", "/x", "--login", "op:a:b", "--dvr", "Gate,127.0.0.1,16000,admin:p,w", "--dvr",
                   "Yard,127.0.0.1,16001", "--view", "3=1:2", "--screens", "9", "--language", "1"},
                  &plan, &home, &error),
              0)
        << error.toStdString();
    EXPECT_EQ(home, "/x");
    EXPECT_EQ(plan.loginUser, "op");
    EXPECT_EQ(plan.loginPassword, "a:b");
    ASSERT_EQ(plan.dvrs.size(), 2u);
    EXPECT_EQ(plan.dvrs[0].name, "Gate");
    EXPECT_EQ(plan.dvrs[0].port, 16000);
    EXPECT_EQ(plan.dvrs[0].user, "admin");
    EXPECT_EQ(plan.dvrs[0].password, "p,w");
    EXPECT_EQ(plan.dvrs[1].user, "");
    ASSERT_EQ(plan.views.size(), 1u);
    EXPECT_EQ(plan.views[0].screen, 3);
    EXPECT_EQ(plan.views[0].dvr, 1);
    EXPECT_EQ(plan.views[0].channel, 2);
    EXPECT_EQ(plan.screenNum, 9);
    EXPECT_EQ(plan.language, 1);

    const QStringList bad[] = {
        {},                                                 // no home
        {"--home"},                                         // option without value
        {"--home", "/x", "--bogus", "1"},                   // unknown option
        {"--home", "/x", "--dvr", "Gate,127.0.0.1"},        // no port
        {"--home", "/x", "--dvr", "Gate,127.0.0.1,70000"},  // port out of range
        {"--home", "/x", "--view", "64=0:0"},               // screen past the grid
        {"--home", "/x", "--view", "1=0"},                  // no channel
        {"--home", "/x", "--view", "1=0:0"},                // DVR 0 not given
        {"--home", "/x", "--screens", "0"},                 // no screens
        {"--home", "/x", "--login", ":pw"},                 // empty user
    };
    for (const QStringList& args : bad) {
        ProgramFolderPlan p;
        QString h, e;
        EXPECT_EQ(ParsePlanArguments(args, &p, &h, &e), -1) << args.join(' ').toStdString();
        EXPECT_FALSE(e.isEmpty());
    }
}

}  // namespace
