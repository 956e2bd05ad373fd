// The user page and its password dialog: the panel filled from the loaded account only, Set collecting
// the panel into that account (texts cut, rights, channel bits), Add, Edit and Delete with the requests they
// post, the password dialog's checks, the language switch, and the texts fitting in the three languages
// (pictures setup_user_<language>.png and dlg_password2_<language>.png).

#include "ui/dialogs/setup_user.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <cstring>
#include <functional>

#include "core/tarvik_app.h"
#include "core/text_files.h"
#include "tests/picture_output.h"
#include "tests/platform/ui/text_fit.h"
#include "tests/scoped_env.h"
#include "tests/ui/dialogs/language_fixture.h"
#include "tests/ui/dialogs/setup_page_fixture.h"
#include "ui/dialogs/dialog_texts.h"
#include "ui/dialogs/dlg_password2.h"

namespace {

DVRUserAccount Account(const char* name, const char* password, const char* description, uint32_t rights,
                       uint8_t view = 0, uint8_t ptz = 0, uint8_t record = 0) {
    DVRUserAccount account{};
    SetNodeText(account.name, QString::fromUtf8(name));
    SetNodeText(account.password, QString::fromUtf8(password));
    SetNodeText(account.description, QString::fromUtf8(description));
    account.rights = rights;
    account.viewChannels[0] = view;
    account.ptzChannels[0] = ptz;
    account.recordChannels[0] = record;
    return account;
}

// Slots: 0 admin, 1 guest (rights 0x15), 2 empty, 3 night, 4-7 empty.
std::vector<DVRUserAccount> Users() {
    std::vector<DVRUserAccount> users(8);
    users[0] = Account("admin", "secret", "Owner", 0x3F, 0x0F, 0x0F, 0x0F);
    users[1] = Account("guest", "g1", "Front desk", 0x15, 0x05, 0x01, 0x00);
    users[3] = Account("night", "n1", "", USER_RIGHT_RECORD, 0x00, 0x00, 0x0A);
    return users;
}

// The page with its password dialog answered by the test.
class TestUserPage : public CDlgSetupUser {
public:
    using CDlgSetupUser::CDlgSetupUser;
    std::function<intptr_t(CDlgPassword2&)> answerPassword;
    int passwordRuns = 0;

protected:
    intptr_t RunPasswordDialog(CDlgPassword2& dlg) override {
        ++passwordRuns;
        return answerPassword ? answerPassword(dlg) : IDCANCEL;
    }
};

class UserPageFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(device.ok());
        ASSERT_TRUE(page.Create(IDD_SETUP_USER, &host.window));
        page.ShowWindow(SW_SHOW);
        Reply(page, SETUP_REPLY_USER_LIST, 0);
        host.Take({WM_SETUP_LOAD, WM_SETUP_SAVE});
    }
    void TearDown() override { page.DestroyWindow(); }

    int RowOfSlot(int slot) {
        for (int row = 0; row < page.m_listUser.GetItemCount(); ++row) {
            if (page.m_listUser.GetItemData(row) == static_cast<uintptr_t>(slot))
                return row;
        }
        return -1;
    }
    void SelectSlot(int slot) {
        for (int row = 0; row < page.m_listUser.GetItemCount(); ++row)
            page.m_listUser.SetItemState(row, row == RowOfSlot(slot) ? LVIS_SELECTED : 0, LVIS_SELECTED);
    }
    void Notify(UINT code) {
        NMHDR header;
        header.idFrom = IDC_USER_LIST;
        header.code = code;
        page.SendMessage(WM_NOTIFY, IDC_USER_LIST, reinterpret_cast<LPARAM>(&header));
    }
    // Clicks the slot's row and answers the load with both parts of the account.
    void Load(int slot) {
        SelectSlot(slot);
        Notify(NM_CLICK);
        Reply(page, SETUP_REPLY_USER, slot);
        Reply(page, SETUP_REPLY_USER, slot);
        host.Take({WM_SETUP_LOAD});
    }
    bool Enabled(UINT id) { return page.GetDlgItem(id)->IsWindowEnabled() != FALSE; }
    bool Visible(CWnd& control) { return control.IsWindowVisible() != FALSE; }

    SelectedSetupDevice device{4, Users()};
    SetupHost host;
    TestUserPage page{&host.window};
};

Post SaveOf(int slot, int part) {
    return {WM_SETUP_SAVE, SETUP_PAGE_USER, static_cast<LPARAM>(slot | part << 16)};
}
Post LoadOf(LPARAM slot) {
    return {WM_SETUP_LOAD, SETUP_PAGE_USER, slot};
}

TEST_F(UserPageFixture, ListsTheNamedSlotsAndFillsThePanelFromTheLoadedOne) {
    ASSERT_EQ(page.m_listUser.GetItemCount(), 3);
    EXPECT_EQ(page.m_listUser.GetItemText(1, 0), "guest");
    EXPECT_EQ(page.m_listUser.GetItemText(1, 1), "Front desk");
    EXPECT_EQ(page.m_listUser.GetItemData(2), 3u);
    EXPECT_FALSE(Enabled(IDOK));
    EXPECT_FALSE(Enabled(IDC_USER_EDIT));

    struct Case {
        int slot;
        std::vector<UINT> checked;
        bool lists[3];  // view, camera, record lists shown
        std::vector<int> viewRows, ptzRows, recordRows;
    };
    const Case cases[] = {
        {1, {IDC_USER_VIEW, IDC_USER_PTZ, IDC_USER_ADMIN}, {true, true, false}, {0, 2}, {0}, {}},
        {3, {IDC_USER_RECORD}, {false, false, true}, {}, {}, {1, 3}},
        {0,
         {IDC_USER_VIEW, IDC_USER_PTZ, IDC_USER_RECORD, IDC_USER_ADMIN, IDC_USER_REMOTE, IDC_USER_EXIT},
         {true, true, true},
         {0, 1, 2, 3},
         {0, 1, 2, 3},
         {0, 1, 2, 3}},
    };
    for (const Case& c : cases) {
        SelectSlot(c.slot);
        Notify(NM_CLICK);
        EXPECT_EQ(Posts(host.Take({WM_SETUP_LOAD})), std::vector<Post>{LoadOf(c.slot)}) << c.slot;
        Reply(page, SETUP_REPLY_USER, c.slot);
        EXPECT_EQ(ItemText(&page, IDC_USER_NAME), NodeText(device.user(c.slot).name)) << c.slot;
        EXPECT_EQ(ItemText(&page, IDC_USER_PASSWORD), NodeText(device.user(c.slot).password)) << c.slot;
        for (UINT id :
             {IDC_USER_VIEW, IDC_USER_PTZ, IDC_USER_RECORD, IDC_USER_ADMIN, IDC_USER_REMOTE, IDC_USER_EXIT}) {
            bool expected = std::find(c.checked.begin(), c.checked.end(), id) != c.checked.end();
            EXPECT_EQ(ItemChecked(&page, id), expected ? 1 : 0) << c.slot << " box " << id;
        }
        CCheckListCtrl* lists[] = {&page.m_listView, &page.m_listPtz, &page.m_listRecord};
        const std::vector<int>* rows[] = {&c.viewRows, &c.ptzRows, &c.recordRows};
        for (int l = 0; l < 3; ++l) {
            EXPECT_EQ(Visible(*lists[l]), c.lists[l]) << c.slot << " list " << l;
            for (int i = 0; i < 4; ++i) {
                bool expected = std::find(rows[l]->begin(), rows[l]->end(), i) != rows[l]->end();
                EXPECT_EQ(lists[l]->GetCheck(i), expected ? 1 : 0) << c.slot << " list " << l << " row " << i;
            }
        }
        EXPECT_TRUE(Enabled(IDOK) && Enabled(IDC_USER_EDIT) && Enabled(IDC_USER_DELETE)) << c.slot;
    }
}

TEST_F(UserPageFixture, AReplyForAnotherSlotThanTheOneAskedForIsIgnored) {
    Load(0);
    // guest is clicked, then night before guest's reply is in.
    SelectSlot(1);
    Notify(NM_CLICK);
    SelectSlot(3);
    Notify(NM_CLICK);
    Reply(page, SETUP_REPLY_USER, 1);
    EXPECT_EQ(ItemText(&page, IDC_USER_NAME), QString());
    EXPECT_FALSE(Enabled(IDOK));
    // Set while nothing matches the chosen row writes nothing.
    Click(page, IDOK);
    EXPECT_TRUE(host.Take({WM_SETUP_SAVE}).empty());
    Reply(page, SETUP_REPLY_USER, 3);
    EXPECT_EQ(ItemText(&page, IDC_USER_NAME), "night");
    EXPECT_TRUE(Enabled(IDOK));
}

TEST_F(UserPageFixture, SetWritesThePanelIntoTheLoadedAccount) {
    struct Case {
        const char* name;
        std::function<void(TestUserPage&)> edit;
        bool saved;
        std::function<void(DVRUserAccount&)> expect;  // the account as Set should leave it
        QString message;
    };
    const QString longText(300, u'd');
    const Case cases[] = {
        {"nothing changed", [](TestUserPage&) {}, false, [](DVRUserAccount&) {}, QString()},
        {"unchecking live view keeps the list's marks",
         [](TestUserPage& p) {
             CheckItem(&p, IDC_USER_VIEW, 0);
             Click(p, IDC_USER_VIEW);
         },
         true, [](DVRUserAccount& a) { a.rights &= ~USER_RIGHT_VIEW; }, QString()},
        {"a record channel and the exit right",
         [](TestUserPage& p) {
             p.m_listRecord.SetCheck(3, TRUE);
             CheckItem(&p, IDC_USER_EXIT, 1);
         },
         true,
         [](DVRUserAccount& a) {
             a.recordChannels[0] = 0x08;
             a.rights |= USER_RIGHT_EXIT;
         },
         QString()},
        {"description of 255 bytes",
         [&longText](TestUserPage& p) { SetItemText(&p, IDC_USER_DESCRIPTION, longText.left(255)); }, true,
         [&longText](DVRUserAccount& a) { SetNodeText(a.description, longText.left(255)); }, QString()},
        // Texts the wire cannot carry whole are refused before anything is written.
        {"description over 255 bytes",
         [](TestUserPage& p) { SetItemText(&p, IDC_USER_DESCRIPTION, QString(86, QChar(0x4e2d))); }, false,
         [](DVRUserAccount&) {}, QStringLiteral("The text is too long, please input again!")},
        {"name of 200 characters",
         [](TestUserPage& p) { SetItemText(&p, IDC_USER_NAME, QString(200, u'n')); }, false,
         [](DVRUserAccount&) {}, QStringLiteral("The text is too long, please input again!")},
        {"password the code page cannot hold",
         [](TestUserPage& p) { SetItemText(&p, IDC_USER_PASSWORD, QStringLiteral("\u5f20\u4e09")); }, false,
         [](DVRUserAccount&) {},
         QStringLiteral("The text has characters that cannot be sent, please input again!")},
        {"empty name", [](TestUserPage& p) { SetItemText(&p, IDC_USER_NAME, QString()); }, false,
         [](DVRUserAccount&) {}, QStringLiteral("User name is empty, please input again!")},
    };
    ScopedEnv codePage("VISTAL_CODEPAGE", "CP1252");
    for (const Case& c : cases) {
        device.user(1) = Users()[1];
        Load(1);
        host.messages.clear();
        // An earlier save's "Saved." is counting down: a save starts it anew, a refusal ends it, Set without
        // a change leaves it.
        page.m_nSavedCountdown = SAVED_NOTICE_TICKS - 1;
        DVRUserAccount expected = device.user(1);
        c.expect(expected);
        c.edit(page);
        Click(page, IDOK);
        EXPECT_EQ(std::memcmp(&device.user(1), &expected, sizeof expected), 0) << c.name;
        std::vector<Post> posts;
        if (c.saved)
            posts = {SaveOf(1, USER_PART_ACCOUNT), SaveOf(1, USER_PART_CHANNELS)};
        EXPECT_EQ(Posts(host.Take({WM_SETUP_SAVE})), posts) << c.name;
        EXPECT_EQ(page.m_nSavedCountdown, c.saved               ? SAVED_NOTICE_TICKS
                                          : c.message.isEmpty() ? SAVED_NOTICE_TICKS - 1
                                                                : 0)
            << c.name;
        EXPECT_EQ(host.messages, c.message.isEmpty() ? QStringList() : QStringList{c.message}) << c.name;
    }
}

TEST(UserAccounts, CollectFollowsTheRowsItHasAndKeepsTheOtherBits) {
    struct Case {
        const char* name;
        int rows;          // rows of each channel list, all checked
        int channelCount;  // the DVR's channels at Set
        uint8_t before;    // byte 0 of each mask, and byte 31
        uint8_t byte0, byte31;
    };
    const Case cases[] = {
        {"lists as long as the DVR", 4, 4, 0x30, 0x3F, 0x30},
        {"DVR grew: channels without a row keep their bits", 2, 8, 0x80, 0x83, 0x80},
        {"rows past the DVR's channels are left out", 8, 3, 0x00, 0x07, 0x00},
        {"bounded to 256 channels", 256, 300, 0x00, 0xFF, 0xFF},
    };
    for (const Case& c : cases) {
        DVRUserAccount account = Account("u", "p", "", 0, c.before, c.before, c.before);
        account.viewChannels[31] = account.ptzChannels[31] = account.recordChannels[31] = c.before;
        UserPanel panel{QStringLiteral("u"), QStringLiteral("p"), QString(), 0, {}, {}, {}};
        panel.viewRows = panel.ptzRows = panel.recordRows =
            std::vector<bool>(static_cast<size_t>(c.rows), true);
        bool differs = c.byte0 != c.before || c.byte31 != c.before;
        EXPECT_EQ(CollectUserAccount(panel, c.channelCount, account), differs ? 0 : -1) << c.name;
        for (const uint8_t* mask : {account.viewChannels, account.ptzChannels, account.recordChannels}) {
            EXPECT_EQ(mask[0], c.byte0) << c.name;
            EXPECT_EQ(mask[31], c.byte31) << c.name;
        }
    }
}

TEST(UserAccounts, NewUserSlotRules) {
    std::vector<DVRUserAccount> users = Users();
    std::vector<DVRUserAccount> full(2);
    full[0] = Account("admin", "", "", 0);
    full[1] = Account("other", "", "", 0);
    struct Case {
        const std::vector<DVRUserAccount>* users;
        const char* name;
        NewUserCheck result;
        int slot;
    };
    const Case cases[] = {
        {&users, "", NewUserCheck::EmptyName, -1},      {&users, "guest", NewUserCheck::NameTaken, -1},
        {&users, "Guest", NewUserCheck::Ok, 2},         {&full, "new", NewUserCheck::NoFreeSlot, -1},
        {nullptr, "new", NewUserCheck::NoFreeSlot, -1},
    };
    for (const Case& c : cases) {
        int slot = -1;
        EXPECT_EQ(ChooseNewUserSlot(c.users, QString::fromUtf8(c.name), &slot), c.result) << c.name;
        EXPECT_EQ(slot, c.slot) << c.name;
    }
}

TEST_F(UserPageFixture, EditUserOpensTheClickedAccountsOwnRecord) {
    Load(0);
    // guest is double-clicked while the panel still shows admin.
    SelectSlot(1);
    QString shownName, shownPassword;
    page.answerPassword = [&](CDlgPassword2& dlg) {
        shownName = dlg.m_strUser;
        shownPassword = dlg.m_strPassword;
        dlg.m_strPassword = QStringLiteral("changed");
        return static_cast<intptr_t>(IDOK);
    };
    Notify(NM_DBLCLK);
    EXPECT_EQ(shownName, "guest");
    EXPECT_EQ(shownPassword, "g1");
    EXPECT_EQ(NodeText(device.user(1).password), "changed");
    EXPECT_EQ(NodeText(device.user(0).password), "secret");
    EXPECT_EQ(ItemText(&page, IDC_USER_PASSWORD), "secret");
    EXPECT_EQ(Posts(host.Take({WM_SETUP_SAVE, WM_SETUP_LOAD})),
              std::vector<Post>{SaveOf(1, USER_PART_ACCOUNT)});

    // The loaded account's new password also shows in the panel.
    SelectSlot(0);
    Click(page, IDC_USER_EDIT);
    EXPECT_EQ(ItemText(&page, IDC_USER_PASSWORD), "changed");
    EXPECT_EQ(NodeText(device.user(0).password), "changed");

    // A slot emptied since the list was drawn opens nothing.
    device.user(3) = DVRUserAccount{};
    SelectSlot(3);
    page.passwordRuns = 0;
    Notify(NM_DBLCLK);
    EXPECT_EQ(page.passwordRuns, 0);
    host.Take({WM_SETUP_SAVE});
    Click(page, IDC_USER_EDIT);
    EXPECT_TRUE(host.Take({WM_SETUP_SAVE}).empty());
}

TEST_F(UserPageFixture, AddUserWritesTheChosenSlotAndReloadsTheList) {
    Load(1);
    page.answerPassword = [](CDlgPassword2&) { return static_cast<intptr_t>(IDCANCEL); };
    Click(page, IDC_USER_ADD);
    EXPECT_TRUE(host.Take({WM_SETUP_SAVE, WM_SETUP_LOAD}).empty());
    EXPECT_EQ(ItemText(&page, IDC_USER_NAME), "guest");

    page.answerPassword = [](CDlgPassword2& dlg) {
        EXPECT_TRUE(dlg.m_bAddMode);
        dlg.m_nSlot = 2;
        dlg.m_strUser = QStringLiteral("clerk");
        dlg.m_strPassword = QStringLiteral("pw");
        return static_cast<intptr_t>(IDOK);
    };
    Click(page, IDC_USER_ADD);
    EXPECT_EQ(NodeText(device.user(2).name), "clerk");
    EXPECT_EQ(NodeText(device.user(2).password), "pw");
    EXPECT_EQ(device.user(2).rights, 0u);
    EXPECT_EQ(Posts(host.Take({WM_SETUP_SAVE, WM_SETUP_LOAD})),
              (std::vector<Post>{SaveOf(2, USER_PART_ACCOUNT), LoadOf(-1)}));
    EXPECT_EQ(ItemText(&page, IDC_USER_NAME), QString());
    EXPECT_FALSE(Enabled(IDOK));
}

TEST_F(UserPageFixture, DeleteUser) {
    struct Case {
        int slot;
        int answer;
        bool asked, emptied;
    };
    const Case cases[] = {{0, IDOK, false, false}, {3, IDCANCEL, true, false}, {3, IDOK, true, true}};
    for (const Case& c : cases) {
        Load(c.slot);
        host.messages.clear();
        host.answer = c.answer;
        Click(page, IDC_USER_DELETE);
        EXPECT_EQ(host.messages, c.asked ? QStringList{"Are you sure to remove user:night?"} : QStringList())
            << c.slot;
        EXPECT_EQ(device.user(c.slot).name[0] == 0, c.emptied) << c.slot;
        std::vector<Post> posts;
        if (c.emptied)
            posts = {SaveOf(c.slot, USER_PART_ACCOUNT), LoadOf(-1)};
        EXPECT_EQ(Posts(host.Take({WM_SETUP_SAVE, WM_SETUP_LOAD})), posts) << c.slot;
        // Slot 0 asks nothing and keeps the panel; an answered question clears it.
        EXPECT_EQ(ItemText(&page, IDC_USER_NAME).isEmpty(), c.asked) << c.slot;
    }
}

TEST_F(UserPageFixture, DeleteQuestionWithOtherConversionsFallsBackToTheEnglishText) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("language.txt"));
    ASSERT_TRUE(ReplaceUtf16File(path, QStringLiteral("[TEXT]\nDLGSETUPUSER_MSG_DEL_USER=Remove %d %s?\n")));
    theApp.m_iniLanguage.SetPath(path);
    Load(3);
    host.answer = IDCANCEL;
    Click(page, IDC_USER_DELETE);
    theApp.m_iniLanguage.SetPath(QString());
    EXPECT_EQ(host.messages, QStringList{"Are you sure to remove user:night?"});
}

TEST_F(UserPageFixture, LanguageSwitchRebuildsTheChannelListsUncheckedAndHoldsSet) {
    Load(0);
    ASSERT_EQ(page.m_listView.GetCheck(0), 1);
    page.PostMessage(WM_APPLY_LANGUAGE, 0, 0);
    DrainPostedEvents();
    for (CCheckListCtrl* list : {&page.m_listView, &page.m_listPtz, &page.m_listRecord}) {
        ASSERT_EQ(list->GetItemCount(), 4);
        EXPECT_EQ(list->GetItemText(1, 0), "Cam 2");
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(list->GetCheck(i), 0);
    }
    EXPECT_EQ(ItemText(&page, IDC_USER_NAME), "admin");
    EXPECT_EQ(page.m_listUser.GetItemCount(), 3);
    // Set would write the empty lists over the account's channels: it waits for the account again.
    SelectSlot(0);
    EXPECT_FALSE(Enabled(IDOK));
    Click(page, IDOK);
    EXPECT_TRUE(host.Take({WM_SETUP_SAVE}).empty());
    EXPECT_EQ(device.user(0).viewChannels[0], 0x0F);
    Load(0);
    EXPECT_EQ(page.m_listView.GetCheck(3), 1);
    EXPECT_TRUE(Enabled(IDOK));
}

// The password dialog run on its own, with the DVR's accounts of Users().
class PasswordFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(device.ok()); }
    SelectedSetupDevice device{2, Users()};
    SetupHost host;
};

TEST_F(PasswordFixture, AddChecksTheNameAndBothPasswords) {
    struct Case {
        const char* name;
        const char* password;
        const char* confirm;
        const char* message;  // nullptr: closes with OK
        UINT focus;
        int slot;
    };
    const Case cases[] = {
        {"", "a", "a", "User name is empty, please input again!", IDC_PASSWORD2_USER, -1},
        {"guest", "a", "a", "User already exist, please select another name!", IDC_PASSWORD2_USER, -1},
        {"clerk", "a", "b", "Password you typed twice not the same, please input again!",
         IDC_PASSWORD2_CONFIRM, 2},
        {"GUEST", "a", "a", nullptr, 0, 2},
        // What the DVR's login field cannot carry whole is refused before a slot is chosen.
        {"nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn"
         "nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn"
         "n",
         "a", "a", "The text is too long, please input again!", IDC_PASSWORD2_USER, -1},
        {"\u5f20\u4e09", "a", "a", "The text has characters that cannot be sent, please input again!",
         IDC_PASSWORD2_USER, -1},
        {"clerk", "\u5f20", "\u5f20", "The text has characters that cannot be sent, please input again!",
         IDC_PASSWORD2_PASSWORD, -1},
    };
    ScopedEnv codePage("VISTAL_CODEPAGE", "CP1252");
    for (const Case& c : cases) {
        host.messages.clear();
        CDlgPassword2 dlg{QString(), QString()};
        ASSERT_TRUE(dlg.Create(IDD_PASSWORD2, nullptr));
        dlg.ShowWindow(SW_SHOW);
        dlg.GetWidget()->activateWindow();
        DrainPostedEvents();
        EXPECT_EQ(dlg.GetWindowText(), "Add new user");
        EXPECT_TRUE(dlg.m_editUser.IsWindowEnabled());
        dlg.m_editUser.SetWindowText(QString::fromUtf8(c.name));
        dlg.m_editPassword.SetWindowText(QString::fromUtf8(c.password));
        dlg.m_editPassword2.SetWindowText(QString::fromUtf8(c.confirm));
        Click(dlg, IDOK);
        EXPECT_EQ(dlg.IsWindowVisible() != FALSE, c.message != nullptr) << c.name;
        EXPECT_EQ(host.messages, c.message ? QStringList{c.message} : QStringList()) << c.name;
        if (c.focus != 0) {
            EXPECT_EQ(CWnd::GetFocus(), dlg.GetDlgItem(c.focus)) << c.name;
        }
        EXPECT_EQ(dlg.m_nSlot, c.slot) << c.name;
        if (c.message == nullptr) {
            EXPECT_EQ(dlg.m_strUser, QString::fromUtf8(c.name));
            EXPECT_EQ(dlg.m_strPassword, QString::fromUtf8(c.password));
        }
        dlg.DestroyWindow();
    }
}

TEST_F(PasswordFixture, EditKeepsTheNameAndNeedsMatchingPasswords) {
    CDlgPassword2 dlg(QStringLiteral("guest"), QStringLiteral("g1"));
    ASSERT_TRUE(dlg.Create(IDD_PASSWORD2, nullptr));
    dlg.ShowWindow(SW_SHOW);
    EXPECT_EQ(dlg.GetWindowText(), "Modify user password");
    EXPECT_FALSE(dlg.m_editUser.IsWindowEnabled());
    EXPECT_EQ(dlg.m_editPassword2.GetWindowText(), "g1");
    dlg.m_editPassword.SetWindowText(QStringLiteral("new"));
    Click(dlg, IDOK);
    EXPECT_TRUE(dlg.IsWindowVisible());
    dlg.m_editPassword2.SetWindowText(QStringLiteral("new"));
    Click(dlg, IDOK);
    EXPECT_FALSE(dlg.IsWindowVisible());
    EXPECT_EQ(dlg.m_strPassword, "new");
    EXPECT_EQ(dlg.m_nSlot, -1);
    // Without a selected DVR OK does nothing.
    g_currentDevice = nullptr;
    dlg.ShowWindow(SW_SHOW);
    Click(dlg, IDOK);
    EXPECT_TRUE(dlg.IsWindowVisible());
    dlg.DestroyWindow();
}

TEST(UserPagePictures, TextsOfEachLanguageFit) {
    SelectedSetupDevice device(4, Users());
    ASSERT_TRUE(device.ok());
    SetupHost host;
    for (int language = 0; language < 3; ++language) {
        ScopedBuiltinLanguage active(language);
        ASSERT_TRUE(active.ok());
        TestUserPage page(&host.window);
        ASSERT_TRUE(page.Create(IDD_SETUP_USER, &host.window));
        page.ShowWindow(SW_SHOW);
        Reply(page, SETUP_REPLY_USER_LIST, 0);
        page.m_listUser.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
        NMHDR header;
        header.idFrom = IDC_USER_LIST;
        header.code = NM_CLICK;
        page.SendMessage(WM_NOTIFY, IDC_USER_LIST, reinterpret_cast<LPARAM>(&header));
        Reply(page, SETUP_REPLY_USER, 0);
        EXPECT_EQ(TextFitFaults(page.GetWidget(), true), QStringList()) << kLanguageNames[language];
        EXPECT_TRUE(page.GetWidget()->grab().save(
            PicturePath(QStringLiteral("setup_user_%1.png").arg(kLanguageNames[language]))));
        page.DestroyWindow();

        for (const char* name : {"", "guest"}) {
            CDlgPassword2 dlg(QString::fromUtf8(name), QStringLiteral("pw"));
            ASSERT_TRUE(dlg.Create(IDD_PASSWORD2, nullptr));
            dlg.ShowWindow(SW_SHOW);
            DrainPostedEvents();
            EXPECT_EQ(TextFitFaults(dlg.GetWidget()), QStringList()) << kLanguageNames[language];
            if (*name != 0) {
                EXPECT_TRUE(dlg.GetWidget()->grab().save(
                    PicturePath(QStringLiteral("dlg_password2_%1.png").arg(kLanguageNames[language]))));
            }
            dlg.DestroyWindow();
        }
    }
}

}  // namespace
