#include "updater/update_operations.h"

#include <sys/statvfs.h>

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

// The update description is a few lines of text; its server gets this long to send it.
constexpr DownloadLimits kDescriptionLimits{8 * 1024, 30};
// A package may be far bigger than any real one, but never fill the temporary folder.
constexpr uint64_t kPackageMaxBytes = uint64_t(1) << 30;
constexpr uint64_t kTempFreeSpaceMargin = uint64_t(64) << 20;

// The package's download limit: kPackageMaxBytes, or less when the folder of path has less free space
// (less a margin). No overall time limit: a slow package keeps coming as long as it moves.
DownloadLimits PackageDownloadLimits(const QString& path) {
    DownloadLimits limits{kPackageMaxBytes, 0};
    struct statvfs vfs;
    if (statvfs(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), &vfs) == 0) {
        uint64_t free = uint64_t(vfs.f_bavail) * uint64_t(vfs.f_frsize);
        uint64_t room = free > kTempFreeSpaceMargin ? free - kTempFreeSpaceMargin : 0;
        if (room < limits.maxBytes)
            limits.maxBytes = room;
    }
    return limits;
}

}  // namespace

QString UpdateServerHost() {
    QByteArray env = qgetenv("VISTAL_UPDATE_HOST");
    return env.isEmpty() ? QString::fromLatin1(kBuiltInUpdateHost) : QString::fromLocal8Bit(env);
}

QString UpdateDescriptionUrl(const QString& host) {
    return QStringLiteral("http://") + host + QStringLiteral("/update/dvrvistal/update.txt");
}

int CheckVersion(const UpdateFiles& files) {
    if (DownloadUrlToFile(files.descriptionUrl, files.iniPath, kDescriptionLimits) != 0)
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
    if (DownloadUrlToFile(url, files.zipPath, PackageDownloadLimits(files.zipPath)) != 0)
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
