#include <QByteArray>
#include <QFile>
#include <QString>
#include <algorithm>
#include <cstdlib>
#include <new>

#include "core/record_list.h"

#include "core/app_version.h"
#include "core/language_list.h"
#include "core/system_settings.h"
#include "core/tarvik_app.h"
#include "core/text_files.h"
#include "platform/system/paths.h"
#include "resources/language/builtin_language.h"

LanguageList g_languageList;

namespace {

const char LANGUAGE_INI_DEFAULT_TEXT[] =
    "[LANGUAGE]\n"
    "Number=3\n"
    "\n"
    "[0]\n"
    "File=.\\language\\language.eng\n"
    "[1]\n"
    "File=.\\language\\language.chs\n"
    "[2]\n"
    "File=.\\language\\language.cht\n";
static_assert(sizeof(LANGUAGE_INI_DEFAULT_TEXT) - 1 == 120, "language.ini default text");

constexpr const char* kBuiltinFileNames[3] = {"language.eng", "language.chs", "language.cht"};

// A value that begins with "." loses its first two characters and is taken inside the program folder.
QString ApplyPathRule(const QString& appDir, const QString& value) {
    if (value.startsWith(QLatin1Char('.')))
        return appDir + value.mid(2, 255);
    return value;
}

QString LanguageIniPath(const CTarvikApp& app) {
    return app.m_strAppDir + QStringLiteral("language.ini");
}

}  // namespace

int DefaultLanguageFromLocale() {
    QByteArray locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = qgetenv(name);
        if (!locale.isEmpty())
            break;
    }
    QByteArray l = locale.toLower();
    if (!l.startsWith("zh"))
        return 0;
    if (l.startsWith("zh_tw") || l.startsWith("zh_hk") || l.startsWith("zh_mo"))
        return 2;
    return 1;
}

void CTarvikApp::InitLanguageIni(const QString& path) {
    if (PathExists(path))
        return;
    CreateUtf16FileIfAbsent(path, QString::fromLatin1(LANGUAGE_INI_DEFAULT_TEXT));
}

void CTarvikApp::DeployLanguageFiles() {
    const QString programVersion = QString::fromLatin1(IDS_APP_VERSION);
    bool differs[3];
    for (int i = 0; i < 3; ++i) {
        CIniFile file(m_strLanguageDir + QString::fromLatin1(kBuiltinFileNames[i]));
        differs[i] =
            file.GetText("TEXT", "Version", "0.0.0").compare(programVersion, Qt::CaseInsensitive) != 0;
    }
    for (int i = 0; i < 3; ++i) {
        if (!differs[i])
            continue;
        QString target = m_strLanguageDir + QString::fromLatin1(kBuiltinFileNames[i]);
        // A file that is there but cannot be read is not replaced.
        if (PathExists(target) && !QFile(ToNativePath(target)).open(QIODevice::ReadOnly))
            continue;
        if (!ReplaceUtf16File(target, QString::fromUtf8(BuiltinLanguageText(i))))
            continue;
        CIniFile(target).WriteString("TEXT", "Version", programVersion);
    }
}

QString CTarvikApp::ResolveLanguageFile(int language, const QString& key) {
    CIniFile ini(LanguageIniPath(*this));
    QString value = ini.GetText(QString::number(language), key);
    if (value.isEmpty())
        return QString();
    return ApplyPathRule(m_strAppDir, value);
}

QString GetLanguageText(const QString& key, const QString& def) {
    return theApp.m_iniLanguage.GetText("TEXT", key, def);
}

int BuildLanguageList() {
    FreeLanguageList();
    CIniFile ini(LanguageIniPath(theApp));
    int number = std::min(ini.GetInt("LANGUAGE", "Number", 0), LANGUAGE_LIST_MAX);
    DVRLanguageInfo* tail = nullptr;
    for (int i = 0; i < number; ++i) {
        auto* info = new (std::nothrow) DVRLanguageInfo();
        if (info == nullptr)
            return -1;
        info->index = i;
        QString file = ApplyPathRule(theApp.m_strAppDir, ini.GetText(QString::number(i), "File"));
        if (!file.isEmpty())
            CIniFile(file).CopyString(256, info->name, "TEXT", "Name");
        AppendRecord(&g_languageList, &tail, info);
    }
    return 0;
}

void FreeLanguageList() {
    FreeRecordList(&g_languageList);
}
