// Fuzz target: the update package installer. The input is the package; it is installed over a small
// installation inside a sandbox folder. Checks: nothing outside the installation changes; a failed
// install changes nothing at all; a successful one leaves no temporary file (every name it adds is an
// entry of the package) and no file with more permission than 0755.

#include <sys/stat.h>

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "tests/dvr/fuzz/fuzz_target.h"
#include "updater/package_install.h"
#include "updater/unzipper.h"

namespace {

namespace fs = std::filesystem;

// Every path below root (relative), with its type, mode and, for files, contents.
using Tree = std::map<std::string, std::string>;

Tree Snapshot(const fs::path& root) {
    Tree tree;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(root, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        struct stat st;
        if (lstat(it->path().c_str(), &st) != 0)
            continue;
        std::string what = std::to_string(st.st_mode);
        if (S_ISREG(st.st_mode)) {
            QFile file(QString::fromStdString(it->path().string()));
            if (file.open(QIODevice::ReadOnly))
                what += ':' + file.readAll().toStdString();
        }
        tree[fs::relative(it->path(), root).string()] = what;
    }
    return tree;
}

[[noreturn]] void Fail(const char* check, const std::string& path = std::string()) {
    std::fprintf(stderr, "package property does not hold: %s %s\n", check, path.c_str());
    std::abort();
}

void Write(const fs::path& path, const char* text) {
    QFile file(QString::fromStdString(path.string()));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) < 0)
        Fail("cannot set up", path.string());
}

// The names the package may add: its entries and the folders above them.
QSet<QString> EntryNames(const QString& zip) {
    QSet<QString> names;
    CUnzipper unzipper;
    if (!unzipper.Open(zip) || !unzipper.GoToFirstEntry())
        return names;
    do {
        UnzipEntryInfo info;
        if (!unzipper.GetEntryInfo(&info))
            continue;
        QString name = info.name;
        while (name.endsWith(QLatin1Char('/')))
            name.chop(1);
        for (qsizetype at = 0; (at = name.indexOf(QLatin1Char('/'), at + 1)) > 0;)
            names.insert(name.left(at));
        names.insert(name);
    } while (unzipper.GoToNextEntry());
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir sandbox(QStringLiteral("/dev/shm/vistal-package-fuzz-XXXXXX"));
    static QTemporaryDir fallback;
    const fs::path root = (sandbox.isValid() ? sandbox : fallback).path().toStdString();
    const fs::path install = root / "install";
    std::error_code error;
    fs::remove_all(install, error);
    fs::create_directories(install / "language");
    fs::create_directories(install / "skins");
    Write(install / "Vistal", "old client");
    Write(install / "language" / "language.eng", "old texts");
    Write(root / "outside.txt", "outside");
    const QString zip = QString::fromStdString((root / "update.zip").string());
    {
        QFile file(zip);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(reinterpret_cast<const char*>(data), qint64(size)) < 0)
            Fail("cannot write the package");
    }
    const Tree before = Snapshot(root);
    PackageLimits limits;
    limits.maxUnpackedBytes = 4 << 20;
    const int result = InstallPackage(zip, QString::fromStdString(install.string()), limits);
    const Tree after = Snapshot(root);

    for (const auto& [path, what] : before) {
        if (path.rfind("install", 0) == 0)
            continue;
        auto it = after.find(path);
        if (it == after.end() || it->second != what)
            Fail("outside changed", path);
    }
    if (result == 0) {
        if (after != before)
            Fail("a failed install changed something");
        return 0;
    }
    const QSet<QString> names = EntryNames(zip);
    for (const auto& [path, what] : after) {
        if (path.rfind("install/", 0) != 0)
            continue;
        struct stat st;
        if (lstat((root / path).c_str(), &st) != 0)
            Fail("vanished", path);
        if (S_ISLNK(st.st_mode) || (st.st_mode & 07777 & ~0755) != 0)
            Fail("link or too much permission", path);
        if (before.count(path) == 0 && !names.contains(QString::fromStdString(path.substr(8))))
            Fail("left a file that is no entry", path);
    }
    return 0;
}
