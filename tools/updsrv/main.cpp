// updsrv: the update server for the demo and for hand tests, on loopback only.
//   updsrv [--port N] [--version a.b.c] [--package file.zip] [--hash hex]
// Serves the update description at /update/dvrvistal/update.txt and the package at
// /update/dvrvistal/package.zip. Without --package it serves a small package of its own (one text file);
// without --hash the package's real MD5 digest is offered. Prints the address it listens on and runs
// until SIGINT or SIGTERM.

#include <zip.h>

#include <QCryptographicHash>
#include <QFile>
#include <cstdio>
#include <cstring>

#include "tools/updsrv/update_server.h"

namespace {

const char kPackagePath[] = "/update/dvrvistal/package.zip";

QByteArray MakeDemoPackage() {
    QByteArray path = QFile::encodeName(QStringLiteral("/tmp/updsrv-%1.zip").arg(getpid()));
    zipFile zf = zipOpen(path.constData(), APPEND_STATUS_CREATE);
    if (zf == nullptr)
        return QByteArray();
    static const char kNote[] = "This file was installed by the demo update.\n";
    zip_fileinfo info = {};
    zipOpenNewFileInZip(zf, "update-note.txt", &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                        Z_DEFAULT_COMPRESSION);
    zipWriteInFileInZip(zf, kNote, unsigned(std::strlen(kNote)));
    zipCloseFileInZip(zf);
    zipClose(zf, nullptr);
    QFile f(QFile::decodeName(path));
    QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    f.close();
    f.remove();
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    int port = 18080;
    QByteArray version = "9.9.9";
    QByteArray packageFile;
    QByteArray hash;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--port") == 0)
            port = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--version") == 0)
            version = argv[i + 1];
        else if (std::strcmp(argv[i], "--package") == 0)
            packageFile = argv[i + 1];
        else if (std::strcmp(argv[i], "--hash") == 0)
            hash = argv[i + 1];
    }
    QByteArray package;
    if (packageFile.isEmpty()) {
        package = MakeDemoPackage();
    } else {
        QFile f(QFile::decodeName(packageFile));
        if (f.open(QIODevice::ReadOnly))
            package = f.readAll();
    }
    if (package.isEmpty()) {
        std::fprintf(stderr, "updsrv: no package to serve\n");
        return 1;
    }
    if (hash.isEmpty())
        hash = QCryptographicHash::hash(package, QCryptographicHash::Md5).toHex();

    BlockStopSignals();

    UpdateServer server;
    if (port < 0 || port > 65535 || server.Start(uint16_t(port)) != 0) {
        std::fprintf(stderr, "updsrv: cannot listen on 127.0.0.1:%d\n", port);
        return 1;
    }
    server.SetLogging(true);
    server.SetFile(kUpdateDescriptionPath, MakeUpdateDescription(version, server.UrlOf(kPackagePath), hash));
    server.SetFile(kPackagePath, package);
    std::printf("updsrv listening on %s offering %s\n", server.HostPort().constData(), version.constData());
    std::fflush(stdout);
    WaitForStopSignal();
    server.Stop();
    return 0;
}
