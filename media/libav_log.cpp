#include "media/libav_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

extern "C" {
#include <libavutil/log.h>
}

namespace {

// Distinct messages written before the filter falls silent: enough to see what a bad stream does.
constexpr size_t kMaxDistinctMessages = 200;

std::mutex g_logLock;
bool g_writeAll = false;

LibavLogFilter& Filter() {
    static LibavLogFilter filter(kMaxDistinctMessages);
    return filter;
}

void WriteLibavMessage(void* avcl, int level, const char* format, va_list args) {
    if (level > AV_LOG_WARNING)
        return;
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    size_t length = std::strlen(text);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r'))
        text[--length] = '\0';
    std::lock_guard<std::mutex> guard(g_logLock);
    if (g_writeAll || Filter().Admit(level, avcl, text)) {
        std::fprintf(stderr, "Vistal: decoder: %s\n", text);
    } else if (Filter().TakeFullNotice()) {
        std::fprintf(stderr,
                     "Vistal: decoder: further messages are not shown (VISTAL_LIBAV_LOG=all shows "
                     "them)\n");
    }
}

}  // namespace

bool LibavLogFilter::Admit(int level, const void* context, const std::string& text) {
    if (level > AV_LOG_WARNING || text.empty())
        return false;
    auto key = std::make_pair(context, text);
    if (m_seen.count(key) != 0)
        return false;
    if (m_seen.size() >= m_maxDistinct) {
        if (!m_fullNoticeGiven)
            m_fullNoticeDue = true;
        return false;
    }
    m_seen.insert(std::move(key));
    return true;
}

bool LibavLogFilter::TakeFullNotice() {
    if (!m_fullNoticeDue)
        return false;
    m_fullNoticeDue = false;
    m_fullNoticeGiven = true;
    return true;
}

void InstallLibavLog() {
    static std::once_flag once;
    std::call_once(once, [] {
        const char* mode = std::getenv("VISTAL_LIBAV_LOG");
        g_writeAll = mode != nullptr && std::strcmp(mode, "all") == 0;
        av_log_set_callback(WriteLibavMessage);
    });
}
