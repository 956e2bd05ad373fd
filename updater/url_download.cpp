#include "updater/url_download.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <cstdio>
#include <mutex>

#include "platform/system/file_modes.h"
#include "platform/system/thread_queue.h"

namespace {

constexpr long kConnectTimeoutSeconds = 10;
// A transfer slower than one byte a second for this long counts as stalled.
constexpr long kStallSeconds = 30;
constexpr long kMaxRedirects = 5;

struct DownloadTarget {
    FILE* file = nullptr;
    uint64_t written = 0;
    uint64_t maxBytes = 0;
};

// Writes a piece of the body; a body that grows past its limit ends the transfer (a short count).
size_t WriteToFile(char* data, size_t size, size_t count, void* userData) {
    auto* target = static_cast<DownloadTarget*>(userData);
    size_t bytes = size * count;
    if (bytes > target->maxBytes - target->written)
        return 0;
    target->written += bytes;
    return std::fwrite(data, 1, bytes, target->file);
}

// Ends the transfer when the worker thread that runs it is asked to stop.
int StopCheck(void*, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return CurrentThreadStopRequested() ? 1 : 0;
}

void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

int DownloadUrlToFile(const QString& url, const QString& path, const DownloadLimits& limits) {
    InitCurlOnce();
    QByteArray target = QFile::encodeName(path);
    // The download is the updater's own: private, whatever the umask.
    const int fd = OpenFileWithMode(target, O_WRONLY | O_CREAT | O_TRUNC, FILE_MODE_PRIVATE);
    FILE* file = fd >= 0 ? fdopen(fd, "wb") : nullptr;
    if (file == nullptr) {
        if (fd >= 0)
            close(fd);
        return -1;
    }
    CURL* curl = curl_easy_init();
    if (curl == nullptr) {
        std::fclose(file);
        std::remove(target.constData());
        return -1;
    }
    QByteArray urlBytes = url.toUtf8();
    curl_easy_setopt(curl, CURLOPT_URL, urlBytes.constData());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    // A proxy from the environment is used, but never for the own machine.
    curl_easy_setopt(curl, CURLOPT_NOPROXY, "localhost,127.0.0.1,::1");
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
    // An announced length past the limit fails at once; an unannounced one is counted as it arrives.
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
    if (limits.overallSeconds > 0)
        curl_easy_setopt(curl, CURLOPT_TIMEOUT, limits.overallSeconds);
    DownloadTarget sink{file, 0, limits.maxBytes};
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteToFile);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, StopCheck);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    CURLcode rc = curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    bool written = std::fclose(file) == 0;
    if (rc != CURLE_OK || !written) {
        std::remove(target.constData());
        return -1;
    }
    return 0;
}
