#pragma once

// The two slow operations of the updater, run on its worker thread: the update check and the update.

#include <QString>
#include <functional>

// Where the operations read and write.
struct UpdateFiles {
    QString descriptionUrl;  // the update description on the update server
    QString iniPath;         // where the description is downloaded to
    QString zipPath;         // where the package is downloaded to
    QString clientPath;      // the client's executable, whose version text is compared
    QString appDir;          // the installation folder the package is unpacked into
};

// The update server's host (and port): VISTAL_UPDATE_HOST when set, else the built-in host.
QString UpdateServerHost();
// "http://<host>/update/dvrvistal/update.txt".
QString UpdateDescriptionUrl(const QString& host);

// Downloads the description and compares its Version with the client's file version: CHECK_RESULT_NEWER,
// CHECK_RESULT_CURRENT, or CHECK_RESULT_FAILED when the description cannot be downloaded. A client
// without a readable version text is offered the update.
int CheckVersion(const UpdateFiles& files);

// Downloads the package named by the description's Url, checks it against Hash and unpacks it over the
// installation. 1 done, 0 failed (the installation is then unchanged). Reports progress position
// UPDATE_PROGRESS_MAX through progress once unpacking has ended.
int DoUpdate(const UpdateFiles& files, const std::function<void(int position)>& progress);

// The MD5 digest of a file as 32 lowercase hexadecimal digits; "" when the file is missing or empty.
QString ComputeFileMd5(const QString& path);
