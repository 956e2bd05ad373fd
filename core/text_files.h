#pragma once

#include <sys/types.h>

#include <QString>

// Creates path holding the byte-order mark FF FE and text as UTF-16LE, only when no file of that name
// exists (an existing file, readable or not, is never truncated), with mode (less the umask). true when the
// file was created.
bool CreateUtf16FileIfAbsent(const QString& path, const QString& text, mode_t mode = 0644);

// Replaces path with the byte-order mark and text as UTF-16LE, through a temporary file renamed over the
// old one. false when it could not be written (the old file then stays as it was).
bool ReplaceUtf16File(const QString& path, const QString& text);

// true when path names an existing file system entry, readable or not.
bool PathExists(const QString& path);
