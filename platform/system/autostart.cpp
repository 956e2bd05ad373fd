#include "platform/system/autostart.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/system/file_modes.h"

namespace {

QString ConfigHome() {
    QByteArray configured = qgetenv("XDG_CONFIG_HOME");
    if (!configured.isEmpty())
        return QString::fromLocal8Bit(configured);
    return QDir::homePath() + QStringLiteral("/.config");
}

QString ExecutablePath() {
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return QString();
    buffer[n] = '\0';
    return QString::fromLocal8Bit(buffer);
}

// The Exec value quoted as the desktop entry format asks: the path in double quotes, with '"', '`', '$'
// and '\' escaped.
QString QuotedExec(const QString& path) {
    QString quoted;
    for (QChar c : path) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    return u'"' + quoted + u'"';
}

}  // namespace

QString AutostartEntryPath() {
    return ConfigHome() + QStringLiteral("/autostart/vistal.desktop");
}

int IsAutorunSet() {
    return QFileInfo::exists(AutostartEntryPath()) ? 1 : 0;
}

void SetAutorun(int on) {
    const QString path = AutostartEntryPath();
    if (!on) {
        QFile::remove(path);
        return;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!OpenSaveFile(&file, FILE_MODE_SHARED))
        return;
    const QString text = QStringLiteral("[Desktop Entry]\nType=Application\nName=Vistal\nExec=") +
                         QuotedExec(ExecutablePath()) + QStringLiteral("\nTerminal=false\n");
    file.write(text.toUtf8());
    static_cast<void>(file.commit());
}
