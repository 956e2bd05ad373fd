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

#include "tools/simkit/tool_options.h"
#include "tools/updsrv/update_server.h"

namespace {

const char kPackagePath[] = "/update/dvrvistal/package.zip";

const char kUsage[] =
    "usage: updsrv [--port N] [--version a.b.c] [--package file.zip] [--hash hex]\n"
    "The update server on 127.0.0.1 (port 18080 unless given; 0: a free one, printed), offering version\n"
    "9.9.9 unless given, with a small package of its own unless --package names one, and that package's\n"
    "MD5 digest unless --hash gives another. Runs until SIGINT or SIGTERM.\n";

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
    auto take = [&](const char* name, const char* value) {
        if (std::strcmp(name, "--port") == 0)
            return ParseToolNumber(value, 0, 65535, &port) == 0 ? kOptionTaken : kOptionBadValue;
        if (std::strcmp(name, "--version") == 0)
            version = value;
        else if (std::strcmp(name, "--package") == 0)
            packageFile = value;
        else if (std::strcmp(name, "--hash") == 0)
            hash = value;
        else
            return kOptionUnknown;
        return kOptionTaken;
    };
    int exitCode = 0;
    if (ReadToolOptions(argc, argv, kUsage, take, &exitCode) != 0)
        return exitCode;
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
    if (server.Start(uint16_t(port)) != 0) {
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
