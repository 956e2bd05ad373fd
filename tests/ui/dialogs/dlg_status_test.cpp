// The status dialog with its pages and the client settings page: tabs and pages, Exit and Enter, the
// language switch reaching every page, the system and version lines; Set writing system.ini byte for byte
// with the changed language told to the status dialog and the "Saved." notice; adding a language file.
// Pictures: dlg_status_<page>_<language>.png and dlg_node_area.png / dlg_node_dvr.png.

#include "ui/dialogs/dlg_status.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "core/disk_list.h"
#include "core/language_list.h"
#include "core/system_settings.h"
#include "core/text_files.h"
#include "core/window_messages.h"
#include "platform/system/autostart.h"
#include "platform/ui/prompt_hook.h"
#include "resources/language/builtin_language.h"
#include "tests/dvr/tree_file_fixture.h"
#include "tests/picture_output.h"
#include "tests/platform/ui/text_fit.h"
#include "tests/ui/dialogs/language_fixture.h"
#include "tests/ui/dialogs/node_script.h"
#include "ui/dialogs/dialog_texts.h"
#include "ui/dialogs/dlg_config.h"
#include "ui/dialogs/dlg_device.h"
#include "ui/dialogs/dlg_status_pages.h"
#include "ui/dialogs/dlg_tree.h"

namespace {

int FakeSpace(const QString&, uint64_t* total, uint64_t* freeBytes) {
    *total = 500ull << 30;
    *freeBytes = 200ull << 30;
    return 0;
}

// A program folder with system.ini as a new client writes it, the three built-in languages registered,
// two record disks and an autostart folder of its own.
class StatusFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        theApp.m_strAppDir = dir.path() + QStringLiteral("/");
        theApp.m_strDataDir = theApp.m_strAppDir;
        autostart = std::make_unique<ScopedEnv>("XDG_CONFIG_HOME", dir.filePath("config").toLocal8Bit());
        theApp.InitSystemIni(IniPath());
        theApp.m_iniSystem.SetPath(IniPath());
        theApp.m_iniSystem.WriteInt("SYSTEM", "Language", 0);
        theApp.LoadSystemSettings();
        CIniFile languages(dir.filePath("language.ini"));
        languages.WriteInt("LANGUAGE", "Number", 3);
        for (int i = 0; i < 3; ++i) {
            QString file = dir.filePath(QStringLiteral("language%1.txt").arg(i));
            ASSERT_TRUE(ReplaceUtf16File(file, QString::fromUtf8(BuiltinLanguageText(i))));
            languages.WriteString(QString::number(i), "File", file);
        }
        ASSERT_EQ(BuildLanguageList(), 0);
        QList<DriveEntry> drives;
        drives.append(DriveEntry{QChar(u'C'), dir.path(), QString(), false});
        drives.append(DriveEntry{QChar(u'D'), dir.path(), QString(), false});
        ASSERT_EQ(BuildDiskList(drives, FakeSpace), 0);
        SetPromptHook([this](const PromptRequest& request) {
            if (request.kind == PromptKind::MessageBox)
                messages << request.text;
            PromptAnswer answer;
            answer.result = IDOK;
            answer.path = promptPath;
            return answer;
        });
        status.CreateTest(nullptr, WS_POPUP);
    }
    void TearDown() override {
        SetPromptHook(nullptr);
        status.DestroyWindow();
        FreeDiskList();
        FreeLanguageList();
        theApp.m_iniSystem.SetPath(QString());
    }
    QString IniPath() const { return dir.filePath(QStringLiteral("system.ini")); }
    std::vector<SeenMessage> Posted(UINT message) {
        DrainPostedEvents();
        std::vector<SeenMessage> seen;
        for (const SeenMessage& m : statusLog) {
            if (m.who == "status" && m.message == message)
                seen.push_back(m);
        }
        return seen;
    }

    QTemporaryDir dir;
    std::unique_ptr<ScopedEnv> autostart;
    MainWindowStandIn main;
    std::vector<SeenMessage> statusLog;
    RecordingWnd status{"status", &statusLog};
    QStringList messages;
    QString promptPath;
};

void Click(CWnd& dlg, UINT id) {
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

// system.ini as the client writes it: the mark and UTF-16LE text.
QByteArray Utf16File(const QString& text) {
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return bytes;
}

TEST_F(StatusFixture, SetWritesSystemIniAndTellsTheLanguageChange) {
    const QByteArray fresh = ReadBytes(IniPath());
    status.ShowWindow(SW_SHOW);
    CDlgConfig page(&status);
    ASSERT_TRUE(page.Create(IDD_DLG_CONFIG, &status));
    page.ShowWindow(SW_SHOW);
    ASSERT_EQ(page.m_listDisks.GetItemCount(), 2);
    EXPECT_TRUE(page.m_listDisks.GetCheck(0));
    EXPECT_FALSE(page.m_listDisks.GetCheck(1));
    EXPECT_EQ(page.m_listDisks.GetItemText(1, 2), QStringLiteral("60%"));
    EXPECT_EQ(page.m_cboLanguage.GetCount(), 3);
    EXPECT_EQ(ItemText(&page, IDC_CONFIG_SNAPSHOT), QStringLiteral("C:\\Snapshots\\"));

    // Set without a change writes nothing and shows no notice.
    Click(page, IDOK);
    EXPECT_EQ(page.m_nSavedTicks, 0);
    EXPECT_EQ(ReadBytes(IniPath()), fresh);

    page.m_listDisks.SetCheck(1, TRUE);
    SetItemText(&page, IDC_CONFIG_RECORD_DIR, QStringLiteral("Video"));
    SetItemText(&page, IDC_CONFIG_SNAPSHOT, QStringLiteral("D:\\Pictures"));
    SetItemText(&page, IDC_CONFIG_INTERVAL, QStringLiteral("45"));
    page.m_cboLanguage.SetCurSel(1);
    CheckItem(&page, IDC_CONFIG_BEEP, 1);
    CheckItem(&page, IDC_CONFIG_AUTORUN, 1);
    CheckItem(&page, IDC_CONFIG_FULL_ACTION, 0);
    Click(page, IDOK);

    QString expected =
        QString::fromUtf16(reinterpret_cast<const char16_t*>(fresh.constData() + 2), (fresh.size() - 2) / 2);
    const struct {
        const char* from;
        const char* to;
    } lines[] = {
        {"RecordDisks=C\n", "RecordDisks=CD\n"},
        {"RecordDir=Records\n", "RecordDir=Video\n"},
        {"SnapshotPath=C:\\Snapshots\\\n", "SnapshotPath=D:\\Pictures\\\n"},
        {"DiskFullAction=1\n", "DiskFullAction=0\n"},
        {"Language=0\n", "Language=1\n"},
        {"ScrollInterval=5\n", "ScrollInterval=30\n"},
        {"EnableBeep=0\n", "EnableBeep=1\n"},
        {"Autorun=0\n", "Autorun=1\n"},
    };
    for (const auto& line : lines) {
        ASSERT_TRUE(expected.contains(QString::fromLatin1(line.from))) << line.from;
        expected.replace(QString::fromLatin1(line.from), QString::fromLatin1(line.to));
    }
    EXPECT_EQ(ReadBytes(IniPath()), Utf16File(expected));
    // In memory the snapshot folder ends in a backslash, as the settings loader keeps it.
    EXPECT_EQ(QString::fromUtf16(g_systemSettings.SnapshotPath), QStringLiteral("D:\\Pictures\\"));
    EXPECT_EQ(IsAutorunSet(), 1);
    EXPECT_TRUE(messages.isEmpty());  // no restart notice for these settings
    EXPECT_EQ(Posted(WM_LANGUAGE_CHANGED).size(), 1u);

    // "Saved." shows from the next tick for two ticks.
    const bool shown[] = {true, true, false};
    for (bool on : shown) {
        page.SendMessage(WM_TIMER, TIMER_SAVED_NOTICE, 0);
        EXPECT_EQ(page.GetDlgItem(IDC_CONFIG_SAVED)->IsWindowVisible() != FALSE, on);
    }

    // RGB drawing needs a restart; no record disk is refused, and the "Saved." of the save before it goes
    // at once.
    CheckItem(&page, IDC_CONFIG_RGB, 1);
    Click(page, IDOK);
    EXPECT_EQ(messages, QStringList{"You need to restart this program to make these settings take affect!"});
    page.SendMessage(WM_TIMER, TIMER_SAVED_NOTICE, 0);
    ASSERT_TRUE(page.GetDlgItem(IDC_CONFIG_SAVED)->IsWindowVisible());
    page.m_listDisks.SetCheck(0, FALSE);
    page.m_listDisks.SetCheck(1, FALSE);
    Click(page, IDOK);
    EXPECT_EQ(messages.size(), 2);
    EXPECT_EQ(messages.last(), QStringLiteral("Please select one as the record disk at least!"));
    EXPECT_FALSE(page.GetDlgItem(IDC_CONFIG_SAVED)->IsWindowVisible());
    page.SendMessage(WM_TIMER, TIMER_SAVED_NOTICE, 0);
    EXPECT_FALSE(page.GetDlgItem(IDC_CONFIG_SAVED)->IsWindowVisible());
    page.DestroyWindow();
    SetAutorun(0);
}

TEST_F(StatusFixture, AddingALanguageFile) {
    CDlgConfig page(&status);
    ASSERT_TRUE(page.Create(IDD_DLG_CONFIG, &status));
    page.ShowWindow(SW_SHOW);
    const QString german = dir.filePath("german.txt");
    const QString nameless = dir.filePath("nameless.txt");
    ASSERT_TRUE(ReplaceUtf16File(german, QStringLiteral("[TEXT]\nName=Deutsch\nDLGSTATUS_TITLE=Status\n")));
    ASSERT_TRUE(ReplaceUtf16File(nameless, QStringLiteral("[TEXT]\nVersion=1\n")));
    struct Case {
        QString file;
        const char* message;  // nullptr: added
    };
    const Case cases[] = {
        {german, nullptr},
        {german, "This language is already existed, please do not add twice!"},
        {dir.filePath("language1.txt"), "This language is already existed, please do not add twice!"},
        {nameless, "Invalid language file, please select again!"},
    };
    for (const Case& c : cases) {
        messages.clear();
        promptPath = c.file;
        Click(page, IDC_CONFIG_ADD_LANGUAGE);
        EXPECT_EQ(messages, c.message ? QStringList{QString::fromLatin1(c.message)} : QStringList())
            << c.file.toStdString();
    }
    CIniFile languages(dir.filePath("language.ini"));
    EXPECT_EQ(languages.GetInt("LANGUAGE", "Number", 0), 4);
    EXPECT_EQ(languages.GetText("3", "File"), german);
    EXPECT_EQ(page.m_cboLanguage.GetCount(), 4);
    EXPECT_EQ(page.m_cboLanguage.GetCurSel(), 3);
    EXPECT_EQ(g_languageList.count, 4);
    page.DestroyWindow();
}

TEST_F(StatusFixture, TabsPagesExitAndLanguageSwitch) {
    std::unique_ptr<ScopedBuiltinLanguage> english = std::make_unique<ScopedBuiltinLanguage>(0);
    CDlgStatus dlg(main.Wnd());
    ASSERT_TRUE(dlg.Create(IDD_DLG_STATUS, main.Wnd()));
    dlg.ShowWindow(SW_SHOW);
    DrainPostedEvents();
    ASSERT_EQ(dlg.m_tabCtrl.GetItemCount(), 3);
    EXPECT_EQ(dlg.m_tabCtrl.GetItemText(0), QStringLiteral("System configuration"));
    EXPECT_EQ(dlg.m_tabCtrl.GetItemText(1), QStringLiteral("System information"));
    EXPECT_EQ(dlg.m_tabCtrl.GetItemText(2), QStringLiteral("Version information"));
    EXPECT_EQ(dlg.VisiblePage(), STATUS_PAGE_CONFIG);

    CDialog* system = dlg.m_pages[STATUS_PAGE_SYSTEM];
    CDialog* software = dlg.m_pages[STATUS_PAGE_SOFTWARE];
    EXPECT_TRUE(ItemText(system, IDC_STATUS_TIME).contains(QStringLiteral(" GMT")));
    EXPECT_TRUE(ItemText(system, IDC_STATUS_CPU).startsWith(QStringLiteral("Current used: ")));
    EXPECT_TRUE(ItemText(system, IDC_STATUS_MEMORY).endsWith(u'%'));
    EXPECT_TRUE(ItemText(system, IDC_STATUS_DISK).contains(QStringLiteral("%, free space: ")));
    // The disk line follows its source at the minute's tick, the clock at the second's.
    auto* systemPage = static_cast<CDlgStatusSystem*>(system);
    systemPage->m_pfnDiskSpace = FakeSpace;
    SetItemText(system, IDC_STATUS_TIME, QString());
    systemPage->SendMessage(WM_TIMER, TIMER_STATUS_CLOCK, 0);
    EXPECT_TRUE(ItemText(system, IDC_STATUS_TIME).contains(QStringLiteral(" GMT")));
    systemPage->SendMessage(WM_TIMER, TIMER_STATUS_DISK, 0);
    EXPECT_EQ(ItemText(system, IDC_STATUS_DISK), QStringLiteral("Current used: 60%, free space: 200 GB"));
    EXPECT_FALSE(system->GetDlgItem(1230)->IsWindowVisible());
    EXPECT_EQ(ItemText(software, 1155), QStringLiteral("Product name: Vistal"));
    EXPECT_EQ(ItemText(software, 1219), QStringLiteral("Software version: 4.4.2"));
    EXPECT_EQ(ItemText(software, 1220), QStringLiteral("Release date: 2013/05/22"));

    english.reset();
    const char* pageNames[] = {"config", "system", "software"};
    for (int language = 0; language < 3; ++language) {
        ScopedBuiltinLanguage active(language);
        ASSERT_TRUE(active.ok());
        dlg.PostMessage(WM_APPLY_LANGUAGE, reinterpret_cast<WPARAM>(main.Wnd()), 0);
        DrainPostedEvents();
        DrainPostedEvents();
        for (int tab = 0; tab < 3; ++tab) {
            dlg.m_tabCtrl.SetCurSel(tab);
            NMHDR change;
            change.idFrom = IDC_STATUS_TAB;
            change.code = TCN_SELCHANGE;
            dlg.SendMessage(WM_NOTIFY, IDC_STATUS_TAB, reinterpret_cast<LPARAM>(&change));
            EXPECT_EQ(dlg.VisiblePage(), dlg.m_tabPages[tab]);
            DrainPostedEvents();
            EXPECT_EQ(TextFitFaults(dlg.GetWidget(), true), QStringList()) << kLanguageNames[language] << tab;
            EXPECT_TRUE(dlg.GetWidget()->grab().save(PicturePath(
                QStringLiteral("dlg_status_%1_%2.png").arg(pageNames[tab], kLanguageNames[language]))));
        }
    }
    // The switch retitled the tabs and kept the selected one.
    EXPECT_EQ(dlg.m_tabCtrl.GetCurSel(), 2);
    EXPECT_EQ(dlg.m_tabCtrl.GetItemText(1),
              QString::fromUtf8(BuiltinLanguageText(2)).section("DLGSTATUS_TAB_0=", 1).section('\n', 0, 0));

    // Enter does nothing; Escape on a page hides the whole dialog through its owner.
    Click(*system, IDOK);
    DrainPostedEvents();
    EXPECT_TRUE(main.Received(WM_CHILD_CLOSED).empty());
    Click(*system, IDCANCEL);
    DrainPostedEvents();
    const std::vector<SeenMessage> closed = main.Received(WM_CHILD_CLOSED);
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(closed[0].wParam, static_cast<WPARAM>(CHILD_STATUS));
    dlg.DestroyWindow();
}

TEST_F(StatusFixture, RecordDialogTextsFit) {
    DeviceTreeNode record = DvrRecord(1, "Gate", "127.0.0.2", 9000);
    SetNodeText(record.user, QStringLiteral("admin"));  // in memory the credentials are plain
    for (int language = 0; language < 3; ++language) {
        ScopedBuiltinLanguage active(language);
        ASSERT_TRUE(active.ok());
        CDlgNodeArea area(nullptr, &record);
        ASSERT_TRUE(area.Create(IDD_DLG_NODE_AREA, nullptr));
        CDlgNodeDVR dvr(&record, nullptr);
        ASSERT_TRUE(dvr.Create(IDD_DLG_NODE_DVR, nullptr));
        for (CDialog* dialog : {static_cast<CDialog*>(&area), static_cast<CDialog*>(&dvr)}) {
            dialog->ShowWindow(SW_SHOW);
            DrainPostedEvents();
            EXPECT_EQ(TextFitFaults(dialog->GetWidget(), true), QStringList()) << kLanguageNames[language];
            EXPECT_TRUE(dialog->GetWidget()->grab().save(
                PicturePath(QStringLiteral("dlg_node_%1_%2.png")
                                .arg(dialog == &area ? "area" : "dvr", kLanguageNames[language]))));
            dialog->DestroyWindow();
        }
    }
}

TEST_F(StatusFixture, DeviceListAndTreePageTextsFit) {
    for (int language = 0; language < 3; ++language) {
        ScopedBuiltinLanguage active(language);
        ASSERT_TRUE(active.ok());
        CDlgDevice device;
        ASSERT_TRUE(device.Create(IDD_DLG_DEVICE, nullptr));
        device.ShowWindow(SW_SHOW);
        CDlgTree tree(&status);
        ASSERT_TRUE(tree.Create(IDD_DLG_TREE, &status));
        status.ShowWindow(SW_SHOW);
        tree.ShowWindow(SW_SHOW);
        DrainPostedEvents();
        EXPECT_EQ(TextFitFaults(device.GetWidget(), true), QStringList()) << kLanguageNames[language];
        EXPECT_EQ(TextFitFaults(tree.GetWidget(), true), QStringList()) << kLanguageNames[language];
        device.DestroyWindow();
        tree.DestroyWindow();
    }
}

}  // namespace
