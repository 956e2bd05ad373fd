#pragma once

// A rectangle that one thread writes and others read without a lock: four 16-bit coordinates in one
// atomic word, so a reader always sees a whole rectangle.

#include <atomic>
#include <cstdint>

#include "platform/video/video_blit.h"

class AtomicVideoRect {
public:
    void Store(const VideoRect& r) {
        m_word.store(Field(r.left, 0) | Field(r.top, 16) | Field(r.right, 32) | Field(r.bottom, 48));
    }
    VideoRect Load() const {
        uint64_t word = m_word.load();
        return VideoRect{Value(word, 0), Value(word, 16), Value(word, 32), Value(word, 48)};
    }

private:
    static uint64_t Field(int32_t v, int shift) {
        return static_cast<uint64_t>(static_cast<uint16_t>(v)) << shift;
    }
    static int32_t Value(uint64_t word, int shift) {
        return static_cast<int16_t>(static_cast<uint16_t>(word >> shift));
    }
    std::atomic<uint64_t> m_word{0};
};
