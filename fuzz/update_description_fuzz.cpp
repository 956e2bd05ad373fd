// Fuzz target: the update description as downloaded and the client's version text, with the version
// comparison the update check makes. Input parts (fuzz/fuzz_inputs.h): the description file, then the
// client's executable. Checks: a client file that loads carries "\0VISTAL-FILEVERSION=<value>\0" with
// that value; no version is newer than itself; of two versions at most one is newer than the other;
// newer-than is transitive over the offered, the installed and a few fixed versions.

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/ini_file.h"
#include "fuzz/fuzz_inputs.h"
#include "tests/dvr/fuzz/fuzz_target.h"
#include "updater/version_compare.h"
#include "updater/version_resource.h"

// Named in the report of a broken property.
constexpr char kTarget[] = "update description";

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    static const QString description = dir.filePath(QStringLiteral("update.ini"));
    static const QString client = dir.filePath(QStringLiteral("Vistal"));
    const std::vector<std::string> parts = SplitInputParts(data, size, 2);
    WriteInputFile(description, parts[0]);
    WriteInputFile(client, parts[1]);

    CIniFile ini(description);
    std::vector<QString> versions = {
        ini.GetText(QStringLiteral("UPDATE"), QStringLiteral("Version"), QStringLiteral("0.0.0"))};
    (void)ini.GetText(QStringLiteral("UPDATE"), QStringLiteral("Url"));
    (void)ini.GetText(QStringLiteral("UPDATE"), QStringLiteral("Hash"));
    CVersionResource resource;
    if (resource.Load(client) == 1) {
        const QString installed = resource.GetFileVersion();
        const std::string text =
            std::string(1, '\0') + "VISTAL-FILEVERSION=" + installed.toStdString() + '\0';
        if (installed.isEmpty() || parts[1].find(text) == std::string::npos)
            FailProperty(kTarget, "a loaded client carries its version text");
        versions.push_back(installed);
    } else if (!resource.GetFileVersion().isEmpty()) {
        FailProperty(kTarget, "nothing stays loaded");
    }
    for (const char* fixed : {"0.0.0", "4.4.255", "4.4.256", "4.5.0", "4294967295.1.1"})
        versions.push_back(QString::fromLatin1(fixed));

    for (const QString& a : versions) {
        if (IsVersionNewer(a, a))
            FailProperty(kTarget, "no version is newer than itself");
        for (const QString& b : versions) {
            const bool newer = IsVersionNewer(a, b);
            if (newer && IsVersionNewer(b, a))
                FailProperty(kTarget, "at most one of two is newer");
            for (const QString& c : versions) {
                if (newer && IsVersionNewer(b, c) && !IsVersionNewer(a, c))
                    FailProperty(kTarget, "newer-than is transitive");
            }
        }
    }
    return 0;
}
