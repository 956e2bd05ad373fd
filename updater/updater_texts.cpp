#include "updater/updater_texts.h"

#include <QByteArray>
#include <QStringList>
#include <cstdlib>

namespace {

struct TextPair {
    const char* english;
    const char* chinese;
};

// In the order of UpdaterTextId.
const TextPair kTexts[] = {
    {"Online Updater", "在线升级"},
    {"Update Now", "开始更新"},
    {"Checking for updates...", "正在检测可用更新..."},
    {"A new version is available, Update now?", "检测到新版本，是否现在更新？"},
    {"Check new version failed.", "检测版本信息失败。"},
    {"Current version is up to date.", "当前版本已是最新。"},
    {"Updating, please wait...", "正在更新，请稍候..."},
    {"Update completed.", "更新完毕。"},
    {"Update failed.", "更新失败。"},
    {"Cancel", "取消"},
    {"Finish", "完成"},
    {"Information", "提示"},
    {"System detects the relevant program is running, click 'Continue' to force update, click 'exit' to stop "
     "updating.",
     "系统检测到相关程序正在运行，点击“继续”强制更新，点击“退出”停止更新。"},
    {"Continue", "继续"},
    {"Exit", "退出"},
    {"Running: %1 in %2", "正在运行：%2 中的 %1"},
};

constexpr unsigned kLangEnglishUs = 1033;

}  // namespace

QString UpdaterText(UpdaterTextId id, int english) {
    const TextPair& t = kTexts[id];
    return QString::fromUtf8(english ? t.english : t.chinese);
}

QString ClientsFoundMessage(const std::vector<FoundProcess>& found, int english) {
    QString message = UpdaterText(TEXT_RETRY_MESSAGE, english);
    QStringList lines;
    for (const FoundProcess& process : found) {
        const int slash = int(process.executable.lastIndexOf(QLatin1Char('/')));
        const QString folder = slash > 0 ? process.executable.left(slash) : QStringLiteral("/");
        const QString line =
            UpdaterText(TEXT_RETRY_FOUND, english).arg(process.executable.mid(slash + 1), folder);
        if (!lines.contains(line))
            lines << line;
    }
    for (const QString& line : lines)
        message += QLatin1Char('\n') + line;
    return message;
}

unsigned GetSystemDefaultLangID() {
    QByteArray locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = qgetenv(name);
        if (!locale.isEmpty())
            break;
    }
    // language_TERRITORY[.codeset][@modifier]
    QByteArray tag = locale.left(locale.indexOf('.') >= 0 ? locale.indexOf('.') : locale.size());
    if (tag.contains('@'))
        tag = tag.left(tag.indexOf('@'));
    struct Known {
        const char* tag;
        unsigned id;
    };
    static const Known kKnown[] = {
        {"zh_CN", 2052}, {"zh_SG", 4100}, {"zh_TW", 1028}, {"zh_HK", 3076}, {"zh_MO", 5124}, {"zh", 2052},
    };
    for (const Known& k : kKnown) {
        if (tag == k.tag)
            return k.id;
    }
    return kLangEnglishUs;
}

int IsEnglishLanguage(unsigned langId) {
    return (langId == 2052 || langId == 4100) ? 0 : 1;
}
