#pragma once

#include <QString>

// Downloads url (http or https) into the file at path. 0 on success; -1 when the server cannot be
// reached, answers with an error status, the transfer stalls, the calling worker thread is asked to stop,
// or the file cannot be written (a partial file is removed).
int DownloadUrlToFile(const QString& url, const QString& path);
