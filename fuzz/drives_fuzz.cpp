// Fuzz target: the drive map from a mount table and the kept letters of drives.ini. Input parts
// (fuzz/fuzz_inputs.h): the mount table, then drives.ini. File systems are told apart by a device id made
// from the mount folder's name (folders naming "missing" cannot be read; some share the home folder's
// file system). Checks: C is the home folder; letters are A-Z, each given once, in order; every letter but
// C and the overridden ones names a counted mount point; and a second look, with the letters the first
// one kept, gives the same map and keeps the file as it was.

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/fuzz_inputs.h"
#include "platform/system/paths.h"
#include "tests/dvr/fuzz/fuzz_target.h"

namespace {

const QString kHome = QStringLiteral("/home/fuzz");

constexpr char kTarget[] = "drive map";

int FakeDeviceId(const QString& folder, uint64_t* id) {
    if (folder.contains(QStringLiteral("missing")))
        return -1;
    uint64_t sum = 0;
    for (QChar c : folder)
        sum += c.unicode();
    *id = sum % 7;
    return 0;
}

bool Overridden(QChar letter) {
    return QProcessEnvironment::systemEnvironment().contains(QStringLiteral("VISTAL_DRIVE_") + letter);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const std::vector<std::string> parts = SplitInputParts(data, size, 2);
    DriveSources sources;
    sources.mountsFile = dir.filePath(QStringLiteral("mounts"));
    sources.sysBlockDir = dir.filePath(QStringLiteral("block"));
    sources.homeFolder = kHome;
    sources.assignmentFile = dir.filePath(QStringLiteral("drives.ini"));
    sources.deviceId = FakeDeviceId;
    WriteInputFile(sources.mountsFile, parts[0]);
    WriteInputFile(sources.assignmentFile, parts[1]);

    const QList<DriveEntry> first = ListDrives(sources);
    if (first.isEmpty() ||
        (!Overridden(QLatin1Char('C')) && (first[0].letter != QLatin1Char('C') || first[0].folder != kHome)))
        FailProperty(kTarget, "C is the home folder");
    for (qsizetype i = 0; i < first.size(); ++i) {
        const DriveEntry& d = first[i];
        if (d.letter < QLatin1Char('A') || d.letter > QLatin1Char('Z'))
            FailProperty(kTarget, "letters are A-Z");
        if (i > 0 && first[i - 1].letter >= d.letter)
            FailProperty(kTarget, "each letter once, in order");
        if (d.letter == QLatin1Char('C') || Overridden(d.letter))
            continue;
        if (d.folder.isEmpty() || d.device.isEmpty())
            FailProperty(kTarget, "a letter names a mount point");
    }
    QFile kept(sources.assignmentFile);
    if (!kept.open(QIODevice::ReadOnly))
        FailProperty(kTarget, "drives.ini stays");
    const QByteArray keptBytes = kept.readAll();
    kept.close();
    const QList<DriveEntry> second = ListDrives(sources);
    if (second.size() != first.size())
        FailProperty(kTarget, "a second look gives the same map");
    for (qsizetype i = 0; i < first.size(); ++i) {
        if (second[i].letter != first[i].letter || second[i].folder != first[i].folder ||
            second[i].device != first[i].device)
            FailProperty(kTarget, "a second look gives the same letters");
    }
    if (!kept.open(QIODevice::ReadOnly) || kept.readAll() != keptBytes)
        FailProperty(kTarget, "a second look keeps the file");
    return 0;
}
