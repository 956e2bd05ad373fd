#include "tools/homeprep/program_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/base64.h"
#include "core/ini_file.h"
#include "core/tarvik_app.h"
#include "dvr/device_list_node.h"
#include "dvr/device_tree.h"
#include "dvr/dvr_protocol.h"
#include "ui/view_file.h"

int WritePreparedSystemIni(const QString& path, const ProgramFolderPlan& plan) {
    // The file starts as the client's first two starts leave it: the default text, then the upgrade to
    // the program's version (so the client finds nothing to upgrade and keeps every value below).
    QFile::remove(path);
    CTarvikApp app;
    app.InitSystemIni(path);
    app.InitSystemIni(path);
    if (!QFileInfo::exists(path))
        return -1;
    const QString user = WideToBase64(plan.loginUser);
    const QString password = WideToBase64(plan.loginPassword);
    CIniFile ini(path);
    const std::vector<ProfileEntry> entries = {
        {"SYSTEM", "Destination", "0"},  // 0 is the local account and LAN discovery
        {"SYSTEM", "SystemUser", user},
        {"SYSTEM", "SystemPassword", password},
        {"SYSTEM", "Language", QString::number(plan.language)},
        {"USER", "RememberPassword", "1"},
        {"USER", "AutoLogin", "1"},
        {"USER", "Name", user},
        {"USER", "Password", password},
        {"USER", "ScreenNum", QString::number(plan.screenNum)},
    };
    ini.WriteStrings(entries);
    // The profile engine reports nothing back through CIniFile: read one key to see that it landed.
    return ini.GetInt("USER", "AutoLogin", 0) == 1 ? 0 : -1;
}

int WritePreparedTree(const QString& path, const ProgramFolderPlan& plan) {
    std::vector<DeviceTreeNode> records;
    records.reserve(plan.dvrs.size());
    for (size_t i = 0; i < plan.dvrs.size(); ++i) {
        const PreparedDvr& dvr = plan.dvrs[i];
        DeviceTreeNode node{};
        node.type = NODE_DVR;
        node.id = static_cast<int32_t>(i);
        node.parentId = 0;
        SetNodeText(node.name, dvr.name);
        SetNodeText(node.host, dvr.host);
        node.port = dvr.port;
        SetNodeText(node.user, WideToBase64(dvr.user));
        SetNodeText(node.password, WideToBase64(dvr.password));
        records.push_back(node);
    }
    return WriteDeviceTreeFile(path, records);
}

int WritePreparedViews(const QString& path, const ProgramFolderPlan& plan) {
    ViewEntry views[GRID_SCREENS];
    ClearViews(views);
    for (const PreparedView& view : plan.views) {
        if (view.screen < 0 || view.screen >= GRID_SCREENS || view.dvr < 0 ||
            view.dvr >= static_cast<int>(plan.dvrs.size()) || view.channel < 0)
            return -1;
        for (const ViewEntry& e : views) {
            if (e.deviceId == view.dvr && e.channel == view.channel)
                return -1;  // the client never shows one channel on two screens
        }
        views[view.screen] = ViewEntry{view.dvr, view.channel};
    }
    return SaveViewFile(path, views);
}

int PrepareProgramFolder(const QString& home, const ProgramFolderPlan& plan, QStringList* written) {
    const QString data = home + QStringLiteral("/data");
    if (!QDir().mkpath(data))
        return -1;
    struct File {
        QString name;
        QString path;
        int (*write)(const QString&, const ProgramFolderPlan&);
    };
    const File files[] = {
        {QStringLiteral("system.ini"), home + QStringLiteral("/system.ini"), &WritePreparedSystemIni},
        {QStringLiteral("data/tree.dat"), data + QStringLiteral("/tree.dat"), &WritePreparedTree},
        {QStringLiteral("data/view.dat"), data + QStringLiteral("/view.dat"), &WritePreparedViews},
    };
    for (const File& file : files) {
        if (QFileInfo::exists(file.path) || QFileInfo(file.path).isSymLink())
            continue;
        if (file.write(file.path, plan) != 0)
            return -1;
        if (written != nullptr)
            written->append(file.name);
    }
    return 0;
}

namespace {

bool ParseInt(const QString& text, int low, int high, int* value) {
    bool ok = false;
    int v = text.toInt(&ok);
    if (!ok || v < low || v > high)
        return false;
    *value = v;
    return true;
}

// "NAME:PASSWORD" (the password may hold further colons; no colon gives an empty password).
void SplitLogin(const QString& text, QString* user, QString* password) {
    int colon = text.indexOf(QLatin1Char(':'));
    *user = colon < 0 ? text : text.left(colon);
    *password = colon < 0 ? QString() : text.mid(colon + 1);
}

bool ParseDvr(const QString& text, PreparedDvr* dvr) {
    // The login is the last part, after the third comma, so a password may hold commas.
    QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() < 3 || parts[0].isEmpty() || parts[1].isEmpty())
        return false;
    dvr->name = parts[0];
    dvr->host = parts[1];
    if (!ParseInt(parts[2], 1, 65535, &dvr->port))
        return false;
    if (parts.size() > 3)
        SplitLogin(parts.mid(3).join(QLatin1Char(',')), &dvr->user, &dvr->password);
    return true;
}

bool ParseView(const QString& text, PreparedView* view) {
    int eq = text.indexOf(QLatin1Char('='));
    int colon = text.indexOf(QLatin1Char(':'), eq + 1);
    return eq > 0 && colon > eq && ParseInt(text.left(eq), 0, GRID_SCREENS - 1, &view->screen) &&
           ParseInt(text.mid(eq + 1, colon - eq - 1), 0, 1 << 20, &view->dvr) &&
           ParseInt(text.mid(colon + 1), 0, MAX_LIST_CHANNELS - 1, &view->channel);
}

}  // namespace

int ParsePlanArguments(const QStringList& arguments, ProgramFolderPlan* plan, QString* home, QString* error) {
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& option = arguments[i];
        if (i + 1 >= arguments.size()) {
            *error = QStringLiteral("%1 needs a value").arg(option);
            return -1;
        }
        const QString& value = arguments[++i];
        bool ok = true;
        if (option == QLatin1String("--home")) {
            *home = value;
            ok = !value.isEmpty();
        } else if (option == QLatin1String("--login")) {
            SplitLogin(value, &plan->loginUser, &plan->loginPassword);
            ok = !plan->loginUser.isEmpty();
        } else if (option == QLatin1String("--dvr")) {
            PreparedDvr dvr;
            ok = ParseDvr(value, &dvr);
            if (ok)
                plan->dvrs.push_back(dvr);
        } else if (option == QLatin1String("--view")) {
            PreparedView view;
            ok = ParseView(value, &view);
            if (ok)
                plan->views.push_back(view);
        } else if (option == QLatin1String("--screens")) {
            ok = ParseInt(value, 1, GRID_SCREENS, &plan->screenNum);
        } else if (option == QLatin1String("--language")) {
            ok = ParseInt(value, 0, 2, &plan->language);
        } else {
            *error = QStringLiteral("unknown option %1").arg(option);
            return -1;
        }
        if (!ok) {
            *error = QStringLiteral("bad value for %1: %2").arg(option, value);
            return -1;
        }
    }
    if (home->isEmpty()) {
        *error = QStringLiteral("--home is required");
        return -1;
    }
    for (const PreparedView& view : plan->views) {
        if (view.dvr >= static_cast<int>(plan->dvrs.size())) {
            *error = QStringLiteral("view of screen %1 names DVR %2, but only %3 are given")
                         .arg(view.screen)
                         .arg(view.dvr)
                         .arg(plan->dvrs.size());
            return -1;
        }
    }
    return 0;
}
