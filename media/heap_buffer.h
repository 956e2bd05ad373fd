#pragma once

// A byte buffer on the C heap whose allocation failures are reported by return value (the pictures'
// buffers: a buffer that cannot be had means nothing is drawn, never an exception).

#include <cstddef>
#include <cstdint>
#include <cstdlib>

class HeapBuffer {
public:
    HeapBuffer() = default;
    ~HeapBuffer() { std::free(m_data); }
    HeapBuffer(const HeapBuffer&) = delete;
    HeapBuffer& operator=(const HeapBuffer&) = delete;

    // Makes the buffer exactly `bytes` long (contents up to the smaller size kept). On failure the buffer
    // is freed and false returned.
    bool Resize(size_t bytes) {
        void* grown = bytes > 0 ? std::realloc(m_data, bytes) : nullptr;
        if (grown == nullptr) {
            std::free(m_data);
            m_data = nullptr;
            m_size = 0;
            return bytes == 0;
        }
        m_data = static_cast<uint8_t*>(grown);
        m_size = bytes;
        return true;
    }
    // At least `bytes` long (only grows); nullptr when that cannot be had.
    uint8_t* AtLeast(size_t bytes) {
        if (m_size < bytes && !Resize(bytes))
            return nullptr;
        return m_data;
    }
    uint8_t* data() const { return m_data; }
    size_t size() const { return m_size; }

private:
    uint8_t* m_data = nullptr;
    size_t m_size = 0;
};
