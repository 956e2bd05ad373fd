// Fuzz target: language.ini with its list of registered language files, and a language file. Input parts
// (fuzz/fuzz_inputs.h): language.ini, then the file registered as .\language\language.fuz. Checks: the
// list has one record per registered index (at most LANGUAGE_LIST_MAX), in order, each name ending inside
// its field; the name of the registered file is its [TEXT] Name; a text used as a printf format keeps the
// conversions of its English default, so filling it reads only the arguments given.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/ini_file.h"
#include "core/language_format.h"
#include "core/language_list.h"
#include "core/tarvik_app.h"
#include "fuzz/fuzz_inputs.h"
#include "tests/dvr/fuzz/fuzz_target.h"

namespace {

constexpr char kTarget[] = "language";

QString NameText(const char16_t (&field)[256]) {
    qsizetype n = 0;
    while (n < 256 && field[n] != 0)
        ++n;
    if (n == 256)
        FailProperty(kTarget, "a name ends inside its field");
    return QString::fromUtf16(field, n);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    static const bool made = QDir(dir.path()).mkpath(QStringLiteral("language"));
    if (!made)
        std::abort();
    const std::vector<std::string> parts = SplitInputParts(data, size, 2);
    theApp.m_strAppDir = dir.path() + QLatin1Char('/');
    const QString languageFile = dir.filePath(QStringLiteral("language/language.fuz"));
    WriteInputFile(dir.filePath(QStringLiteral("language.ini")), parts[0]);
    WriteInputFile(languageFile, parts[1]);

    if (BuildLanguageList() != 0)
        FailProperty(kTarget, "the list is built");
    CIniFile ini(dir.filePath(QStringLiteral("language.ini")));
    const int number = ini.GetInt(QStringLiteral("LANGUAGE"), QStringLiteral("Number"), 0);
    const int expected = number < 0 ? 0 : number > LANGUAGE_LIST_MAX ? LANGUAGE_LIST_MAX : number;
    if (g_languageList.count != expected)
        FailProperty(kTarget, "one record per registered index");
    int index = 0;
    for (DVRLanguageInfo* info = g_languageList.head; info != nullptr; info = info->next, ++index) {
        if (info->index != index)
            FailProperty(kTarget, "records in index order");
        const QString name = NameText(info->name);
        const QString file = ini.GetText(QString::number(index), QStringLiteral("File"));
        if (file == QStringLiteral(".\\language\\language.fuz") &&
            name != CIniFile(languageFile).GetText(QStringLiteral("TEXT"), QStringLiteral("Name")).left(255))
            FailProperty(kTarget, "the name is the file's [TEXT] Name");
    }
    if (index != g_languageList.count)
        FailProperty(kTarget, "the count is the records'");
    FreeLanguageList();

    theApp.m_iniLanguage.SetPath(languageFile);
    (void)GetLanguageText(QStringLiteral("DLGMAIN_MSG_DISKFULL"), QStringLiteral("Record disks is full"));
    struct Format {
        const char* key;
        const char* english;
    } formats[] = {
        {"DLGSTATUSSYSTEM_STATIC_CPU_VALUE", "%d%%"},
        {"DLGSTATUSSYSTEM_STATIC_DISK_VALUE", "Disk %d: %s"},
        {"DLGSETUPUSER_MSG_DEL_USER", "Are you sure to delete user %s?"},
    };
    for (const Format& f : formats) {
        const QString english = QString::fromLatin1(f.english);
        const QString format = GetLanguageFormat(QString::fromLatin1(f.key), english);
        if (FormatConversions(format) != FormatConversions(english))
            FailProperty(kTarget, "a format keeps its default's conversions");
    }
    (void)FormatWithInt(
        GetLanguageFormat(QStringLiteral("DLGSTATUSSYSTEM_STATIC_CPU_VALUE"), QStringLiteral("%d%%")), 42);
    (void)FormatWithIntAndText(
        GetLanguageFormat(QStringLiteral("DLGSTATUSSYSTEM_STATIC_DISK_VALUE"), QStringLiteral("Disk %d: %s")),
        1, QStringLiteral("C"));
    (void)FormatWithText(GetLanguageFormat(QStringLiteral("DLGSETUPUSER_MSG_DEL_USER"),
                                           QStringLiteral("Are you sure to delete user %s?")),
                         QStringLiteral("admin"));
    return 0;
}
