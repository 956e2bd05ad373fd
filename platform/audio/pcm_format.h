#pragma once

#include <cstdint>

// An interleaved PCM format: 8-bit samples are unsigned, wider ones signed little-endian.
struct PcmFormat {
    uint16_t channels;
    uint32_t sampleRate;
    uint16_t bitsPerSample;
    uint16_t blockAlign;      // channels x bits / 8
    uint32_t bytesPerSecond;  // sampleRate x blockAlign
};

inline PcmFormat MakePcmFormat(int bitsPerSample, int sampleRate, int channels) {
    PcmFormat f{};
    f.channels = static_cast<uint16_t>(channels);
    f.sampleRate = static_cast<uint32_t>(sampleRate);
    f.bitsPerSample = static_cast<uint16_t>(bitsPerSample);
    f.blockAlign = static_cast<uint16_t>(channels * (bitsPerSample / 8));
    f.bytesPerSecond = f.sampleRate * f.blockAlign;
    return f;
}

// The formats a sound buffer plays: 1-8 channels, 8, 16, 24 or 32 bits, 1000-192000 samples a second.
inline bool IsPlayablePcmFormat(const PcmFormat& f) {
    return f.channels >= 1 && f.channels <= 8 && f.bitsPerSample >= 8 && f.bitsPerSample <= 32 &&
           f.bitsPerSample % 8 == 0 && f.sampleRate >= 1000 && f.sampleRate <= 192000;
}
