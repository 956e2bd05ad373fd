// FuzzSeeds() of the targets whose seeds are files in the repository: every file of the target's corpus
// folder, in name order so that every replay is the same.

#include <QDir>
#include <QFile>

#include "tests/dvr/fuzz/fuzz_target.h"

std::vector<std::string> FuzzSeeds() {
    std::vector<std::string> seeds;
    QDir dir(QString::fromUtf8(VISTAL_FUZZ_CORPUS));
    const QStringList names = dir.entryList(QDir::Files, QDir::Name);
    for (const QString& name : names) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            seeds.push_back(file.readAll().toStdString());
    }
    if (seeds.empty())
        seeds.emplace_back();
    return seeds;
}
