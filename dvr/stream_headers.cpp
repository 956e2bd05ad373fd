#include "dvr/stream_headers.h"

#include <cstring>

void ApplyStreamHeaderBlock(void* header, const uint8_t* block, uint32_t length) {
    if (header == nullptr || block == nullptr)
        return;
    std::memcpy(header, block, length < 16 ? length : 16);
}
