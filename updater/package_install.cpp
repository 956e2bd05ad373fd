#include "updater/package_install.h"

#include "updater/unzip_staging.h"
#include "updater/unzipper.h"

int InstallPackage(const QString& zipPath, const QString& folder) {
    CUnzipper unzipper;
    if (!unzipper.Open(zipPath))
        return 0;
    UnzipStaging staging;
    if (unzipper.GoToFirstEntry()) {
        do {
            if (!unzipper.ExtractEntry(folder, false, &staging))
                return 0;
        } while (unzipper.GoToNextEntry());
    } else if (unzipper.GetEntryCount() != 0) {
        return 0;
    }
    return staging.Commit() ? 1 : 0;
}
