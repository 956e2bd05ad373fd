#pragma once

// libavcodec's own messages ("clipping dct coefficients", "Picture size 0x0 is invalid") would pour into
// the operator's terminal for every damaged picture of every stream. Once installed, warnings and errors
// are written to stderr once per distinct message and decoder, up to a bound of distinct messages;
// everything below warning level is dropped. VISTAL_LIBAV_LOG=all writes every warning and error.

#include <set>
#include <string>
#include <utility>

// Installs the filter as libav's log callback; safe to call from any thread, any number of times.
void InstallLibavLog();

// Which messages are written: warnings and errors, each distinct text once per logging context (one
// decoder, so once per stream), until maxDistinct texts were written. The caller serialises calls.
class LibavLogFilter {
public:
    explicit LibavLogFilter(size_t maxDistinct) : m_maxDistinct(maxDistinct) {}
    // level: libav's level; context: the object that logged; text: the formatted line. True: write it.
    [[nodiscard]] bool Admit(int level, const void* context, const std::string& text);
    // True the first time a message is refused because the bound is reached: time to say so, once.
    [[nodiscard]] bool TakeFullNotice();

private:
    size_t m_maxDistinct;
    bool m_fullNoticeDue = false;
    bool m_fullNoticeGiven = false;
    std::set<std::pair<const void*, std::string>> m_seen;
};
