#pragma once

// The modes of the files the programs create: exactly 0600 for a file that holds credentials or is
// private, else 0644, whatever the process's umask (which only ever takes bits away, never adds them:
// under umask 000 a plain open or QSaveFile gives 0666). An existing file that is written again keeps its
// mode, less any bit the wanted mode lacks.

#include <sys/types.h>

#include <QByteArray>

class QSaveFile;

constexpr mode_t FILE_MODE_PRIVATE = 0600;
constexpr mode_t FILE_MODE_SHARED = 0644;

// Opens file for writing and gives the file that will replace the target its mode. false when it cannot
// be opened or given the mode.
[[nodiscard]] bool OpenSaveFile(QSaveFile* file, mode_t mode);

// open(2) of native with flags (O_WRONLY or O_RDWR, with O_CREAT and O_EXCL or O_TRUNC as wanted), the
// new file made with mode. The descriptor (close-on-exec), or -1.
[[nodiscard]] int OpenFileWithMode(const QByteArray& native, int flags, mode_t mode);
