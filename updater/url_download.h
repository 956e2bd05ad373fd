#pragma once

#include <QString>
#include <cstdint>

// What a download may take: at most maxBytes of body, and, when overallSeconds is not 0, at most that
// long in all. Without an overall limit a slow transfer keeps going as long as it moves.
struct DownloadLimits {
    uint64_t maxBytes = 0;
    long overallSeconds = 0;
};

// Downloads url (http or https) into the file at path. 0 on success; -1 when the server cannot be
// reached, answers with an error status, the body grows past the limits or the transfer takes longer
// than they allow, the transfer stalls, the calling worker thread is asked to stop, or the file cannot be
// written (a partial file is removed).
[[nodiscard]] int DownloadUrlToFile(const QString& url, const QString& path, const DownloadLimits& limits);
