#include "updater/update_operations.h"

#include <QFile>
#include <QFileInfo>

#include "core/ini_file.h"
#include "updater/md5.h"
#include "updater/package_install.h"
#include "updater/updater_messages.h"
#include "updater/url_download.h"
#include "updater/version_compare.h"
#include "updater/version_resource.h"

namespace {

// The update server when VISTAL_UPDATE_HOST does not name one.
const char kBuiltInUpdateHost[] = "update.vistal.example";
const char kSection[] = "UPDATE";

}  // namespace

QString UpdateServerHost() {
    QByteArray env = qgetenv("VISTAL_UPDATE_HOST");
    return env.isEmpty() ? QString::fromLatin1(kBuiltInUpdateHost) : QString::fromLocal8Bit(env);
}

QString UpdateDescriptionUrl(const QString& host) {
    return QStringLiteral("http://") + host + QStringLiteral("/update/dvrvistal/update.txt");
}

int CheckVersion(const UpdateFiles& files) {
    if (DownloadUrlToFile(files.descriptionUrl, files.iniPath) != 0)
        return CHECK_RESULT_FAILED;
    CVersionResource version;
    if (!version.Load(files.clientPath))
        return CHECK_RESULT_NEWER;
    CIniFile ini(files.iniPath);
    QString offered =
        ini.GetText(QString::fromLatin1(kSection), QStringLiteral("Version"), QStringLiteral("0.0.0"));
    QString installed = version.GetFileVersion();
    version.Free();
    return IsVersionNewer(offered, installed) ? CHECK_RESULT_NEWER : CHECK_RESULT_CURRENT;
}

QString ComputeFileMd5(const QString& path) {
    if (!QFileInfo::exists(path))
        return QString();
    Md5Context ctx;
    if (Md5HashFile(QFile::encodeName(path).constData(), 0, &ctx) == 0)
        return QString();
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(ctx.digest), 16).toHex());
}

int DoUpdate(const UpdateFiles& files, const std::function<void(int position)>& progress) {
    CIniFile ini(files.iniPath);
    QString url = ini.GetText(QString::fromLatin1(kSection), QStringLiteral("Url"));
    if (url.isEmpty())
        return 0;
    if (DownloadUrlToFile(url, files.zipPath) != 0)
        return 0;
    QString digest = ComputeFileMd5(files.zipPath);
    QString hash = ini.GetText(QString::fromLatin1(kSection), QStringLiteral("Hash"));
    if (digest.isEmpty() || hash.isEmpty() || digest.compare(hash, Qt::CaseInsensitive) != 0)
        return 0;
    if (!InstallPackage(files.zipPath, files.appDir))
        return 0;
    if (progress)
        progress(UPDATE_PROGRESS_MAX);
    return 1;
}
