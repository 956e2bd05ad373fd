// The login dialog: outcomes of OK (accepted, refused, no server) with what each writes to system.ini,
// the destination choice, lock mode, and the texts of the three built-in languages fitting their
// controls (pictures under tests/out/dlg_login_<mode>_<language>.png).

#include "ui/dialogs/dlg_login.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <string>

#include "core/base64.h"
#include "core/tarvik_app.h"
#include "platform/ui/button.h"
#include "platform/ui/prompt_hook.h"
#include "tests/platform/ui/text_fit.h"
#include "tests/platform/ui/ui_test_support.h"
#include "tests/scoped_env.h"
#include "tests/ui/dialogs/language_fixture.h"

namespace {

// The dialogs run the client's own login check (CheckLogin): the local account in LAN mode; in WAN mode
// the WAN server, which the test environment points at a loopback port where nothing listens.

// A system.ini of its own and a prompt hook that records the message boxes.
class LoginFixture : public ::testing::Test {
protected:
    void SetUp() override {
        theApp.m_iniSystem.SetPath(m_dir.filePath("system.ini"));
        theApp.m_strSystemUser = QStringLiteral("admin");
        theApp.m_strSystemPassword = QStringLiteral("1234");
        theApp.m_bRememberPassword = 0;
        theApp.m_bAutoLogin = 0;
        theApp.m_bLanMode = 1;
        g_bLoggedIn = 0;
        SetPromptHook([this](const PromptRequest& request) {
            messages << request.text;
            PromptAnswer answer;
            answer.result = IDOK;
            return answer;
        });
    }
    void TearDown() override {
        SetPromptHook(nullptr);
        theApp.m_iniSystem.SetPath(QString());
    }
    static void Type(CDialog& dlg, UINT id, const QString& text) { dlg.GetDlgItem(id)->SetWindowText(text); }
    static void Check(CDialog& dlg, UINT id, bool on) {
        dynamic_cast<CButton*>(dlg.GetDlgItem(id))->SetCheck(on ? BST_CHECKED : BST_UNCHECKED);
    }
    static QString Base64Of(const QString& text) {
        char16_t* buffer = nullptr;
        int capacity = 0;
        QString result;
        if (WideToBase64W(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<int>(text.size()),
                          &buffer, &capacity) == 0)
            result = QString::fromUtf16(buffer);
        free(buffer);
        return result;
    }

    QTemporaryDir m_dir;
    QStringList messages;
};

TEST_F(LoginFixture, OkOutcomesAndWhatTheyStore) {
    const QString refused = QStringLiteral("Check user failed, please input again!");
    const QString noServer = QStringLiteral("Connect wanserver failed, please check your network!");
    const QString tooLong = QStringLiteral("The text is too long, please input again!");
    const QString notSendable =
        QStringLiteral("The text has characters that cannot be sent, please input again!");
    const std::string longUser(190, 'u');
    struct Case {
        const char* name;
        const char* user;
        const char* password;
        int destination;
        bool remember, autoLogin;
        bool ended;
        QString message;
        int lanMode;
        const char* storedPassword;  // nullptr: the USER section is not written
        const char* storedName;
    };
    const Case cases[] = {
        {"accepted, nothing remembered", "admin", "1234", 0, false, false, true, {}, 1, "", ""},
        {"accepted, password remembered", "admin", "1234", 0, true, false, true, {}, 1, "1234", ""},
        {"accepted, both remembered", "admin", "1234", 0, true, true, true, {}, 1, "1234", "admin"},
        {"wrong password", "admin", "12345", 0, true, true, false, refused, 1, nullptr, nullptr},
        {"empty user", "", "1234", 0, false, false, false, refused, 1, nullptr, nullptr},
        {"WAN server unreachable", "remote", "x", 1, false, false, false, noServer, 0, nullptr, nullptr},
        // What the login cannot carry whole is told at once, without trying the server.
        {"WAN user too long", longUser.c_str(), "x", 1, false, false, false, tooLong, 0, nullptr, nullptr},
        {"WAN user the code page cannot hold", "\xE7\x94\xA8\xE6\x88\xB7", "x", 1, false, false, false,
         notSendable, 0, nullptr, nullptr},
    };
    ScopedEnv codePage("VISTAL_CODEPAGE", "CP1252");
    for (const Case& c : cases) {
        QFile::remove(m_dir.filePath("system.ini"));
        messages.clear();
        theApp.m_bLanMode = 1;
        g_bLoggedIn = 0;
        CDlgLogin dlg(nullptr, 0, 1, nullptr);
        dlg.m_pfnCheckLogin = CheckLogin;
        ASSERT_TRUE(dlg.Create(IDD_DLG_LOGIN, nullptr));
        dlg.ShowWindow(SW_SHOW);
        Type(dlg, IDC_LOGIN_USER, QString::fromUtf8(c.user));
        Type(dlg, IDC_LOGIN_PASSWORD, QString::fromUtf8(c.password));
        dlg.m_comboDest.SetCurSel(c.destination);
        Check(dlg, IDC_LOGIN_REMEMBER, c.remember);
        Check(dlg, IDC_LOGIN_AUTO, c.autoLogin);
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);

        EXPECT_EQ(dlg.IsWindowVisible() == FALSE, c.ended) << c.name;
        EXPECT_EQ(g_bLoggedIn, c.ended ? 1 : 0) << c.name;
        EXPECT_EQ(messages, c.message.isEmpty() ? QStringList() : QStringList{c.message}) << c.name;
        // The destination is kept in any case.
        EXPECT_EQ(theApp.m_bLanMode, c.lanMode) << c.name;
        EXPECT_EQ(theApp.m_iniSystem.GetInt("SYSTEM", "Destination", -1), c.destination) << c.name;
        if (c.storedPassword == nullptr) {
            EXPECT_EQ(theApp.m_iniSystem.GetInt("USER", "RememberPassword", -1), -1) << c.name;
            // A refusal leaves the entry for another attempt.
            EXPECT_EQ(dlg.GetDlgItem(IDC_LOGIN_PASSWORD)->GetWindowText(), QString::fromUtf8(c.password))
                << c.name;
        } else {
            EXPECT_EQ(theApp.m_iniSystem.GetInt("USER", "RememberPassword", -1), c.remember ? 1 : 0)
                << c.name;
            EXPECT_EQ(theApp.m_iniSystem.GetInt("USER", "AutoLogin", -1), c.autoLogin ? 1 : 0) << c.name;
            EXPECT_EQ(theApp.m_iniSystem.GetText("USER", "Password"),
                      Base64Of(QString::fromUtf8(c.storedPassword)))
                << c.name;
            EXPECT_EQ(theApp.m_iniSystem.GetText("USER", "Name"), Base64Of(QString::fromUtf8(c.storedName)))
                << c.name;
        }
        dlg.DestroyWindow();
    }
}

TEST_F(LoginFixture, DestinationChoiceAndStartingFields) {
    QString stored = QStringLiteral("operator");
    QString storedPassword = QStringLiteral("pw");
    struct Case {
        const char* name;
        const QString* user;
        int lanMode;
        const char* shownUser;
        int shownDestination;
    };
    const Case cases[] = {
        {"LAN, no stored user", nullptr, 1, "admin", 0},
        {"LAN, stored user", &stored, 1, "operator", 0},
        {"WAN, no stored user", nullptr, 0, "", 1},
    };
    for (const Case& c : cases) {
        CDlgLogin dlg(c.user, 0, c.lanMode, &storedPassword);
        ASSERT_TRUE(dlg.Create(IDD_DLG_LOGIN, nullptr));
        EXPECT_EQ(dlg.GetDlgItem(IDC_LOGIN_USER)->GetWindowText(), QString::fromUtf8(c.shownUser)) << c.name;
        EXPECT_EQ(dlg.GetDlgItem(IDC_LOGIN_PASSWORD)->GetWindowText(), storedPassword) << c.name;
        EXPECT_EQ(dlg.m_comboDest.GetCurSel(), c.shownDestination) << c.name;
        EXPECT_EQ(dlg.m_comboDest.GetCount(), 2) << c.name;
        // Going to the WAN server and back to the local account puts "admin" in the user field.
        Type(dlg, IDC_LOGIN_USER, QStringLiteral("typed"));
        dlg.m_comboDest.SetCurSel(1);
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_LOGIN_DEST, CBN_SELCHANGE), 0);
        EXPECT_EQ(dlg.GetDlgItem(IDC_LOGIN_USER)->GetWindowText(), QStringLiteral("typed")) << c.name;
        dlg.m_comboDest.SetCurSel(0);
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_LOGIN_DEST, CBN_SELCHANGE), 0);
        EXPECT_EQ(dlg.GetDlgItem(IDC_LOGIN_USER)->GetWindowText(), QStringLiteral("admin")) << c.name;
        dlg.DestroyWindow();
    }
}

TEST_F(LoginFixture, LockModeAsksOnlyThePasswordAndCannotBeCancelled) {
    CDlgLogin dlg(&theApp.m_strSystemUser, 1, 1, nullptr);
    dlg.m_pfnCheckLogin = CheckLogin;
    ASSERT_TRUE(dlg.Create(IDD_DLG_LOGIN, nullptr));
    dlg.ShowWindow(SW_SHOW);
    const UINT hidden[] = {IDC_LOGIN_USER_LABEL, IDC_LOGIN_DEST_LABEL, IDC_LOGIN_USER,
                           IDC_LOGIN_DEST,       IDC_LOGIN_REMEMBER,   IDC_LOGIN_AUTO};
    for (UINT id : hidden)
        EXPECT_FALSE(dlg.GetDlgItem(id)->IsWindowVisible()) << id;
    EXPECT_TRUE(dlg.GetDlgItem(IDC_LOGIN_PASSWORD)->IsWindowVisible());
    EXPECT_TRUE(dlg.GetDlgItem(IDC_LOGIN_TITLE)->IsWindowVisible());
    EXPECT_EQ(dlg.GetDlgItem(IDC_LOGIN_TITLE)->GetWindowText(), QStringLiteral("Unlock system"));
    EXPECT_FALSE(dlg.m_btnCancel.IsWindowEnabled());
    // The user is the one known to the client.
    EXPECT_EQ(dlg.GetDlgItem(IDC_LOGIN_USER)->GetWindowText(), QStringLiteral("admin"));

    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(dlg.IsWindowVisible());
    Type(dlg, IDC_LOGIN_PASSWORD, QStringLiteral("wrong"));
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(dlg.IsWindowVisible());
    EXPECT_EQ(messages, QStringList{QStringLiteral("Check user failed, please input again!")});
    Type(dlg, IDC_LOGIN_PASSWORD, QStringLiteral("1234"));
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_FALSE(dlg.IsWindowVisible());
    EXPECT_EQ(g_bLoggedIn, 1);
    dlg.DestroyWindow();
}

TEST_F(LoginFixture, TextsOfEachLanguageFitAndAreDrawn) {
    for (int language = 0; language < 3; ++language) {
        ScopedBuiltinLanguage active(language);
        ASSERT_TRUE(active.ok());
        for (int lock : {0, 1}) {
            CDlgLogin dlg(nullptr, lock, 1, nullptr);
            ASSERT_TRUE(dlg.Create(IDD_DLG_LOGIN, nullptr));
            dlg.ShowWindow(SW_SHOW);
            DrainPostedEvents();
            EXPECT_EQ(dlg.GetWidget()->size(), QSize(373, 243));
            EXPECT_EQ(TextFitFaults(dlg.GetWidget(), true), QStringList())
                << kLanguageNames[language] << lock;
            QDir().mkpath(QStringLiteral(VISTAL_TEST_OUT_DIR));
            EXPECT_TRUE(
                dlg.GetWidget()->grab().save(QStringLiteral(VISTAL_TEST_OUT_DIR "/dlg_login_%1_%2.png")
                                                 .arg(lock ? "unlock" : "login", kLanguageNames[language])));
            dlg.DestroyWindow();
        }
    }
}

}  // namespace
