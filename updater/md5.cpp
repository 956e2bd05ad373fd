#include "updater/md5.h"

#include <cstdio>
#include <cstring>

namespace {

uint32_t RotateLeft(uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
}

// Additive constants: floor(abs(sin(i + 1)) * 2^32).
constexpr uint32_t kAdd[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

constexpr int kShift[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

void DecodeBlock(const uint8_t* bytes, uint32_t words[16]) {
    for (int i = 0; i < 16; ++i) {
        words[i] = uint32_t(bytes[4 * i]) | uint32_t(bytes[4 * i + 1]) << 8 |
                   uint32_t(bytes[4 * i + 2]) << 16 | uint32_t(bytes[4 * i + 3]) << 24;
    }
}

}  // namespace

void Md5Init(Md5Context* ctx, uint32_t seed) {
    ctx->count[0] = 0;
    ctx->count[1] = 0;
    ctx->state[0] = 0x67452301u + seed * 11u;
    ctx->state[1] = 0xEFCDAB89u + seed * 71u;
    ctx->state[2] = 0x98BADCFEu + seed * 37u;
    ctx->state[3] = 0x10325476u + seed * 97u;
}

void Md5Transform(const uint32_t block[16], uint32_t state[4]) {
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int i = 0; i < 64; ++i) {
        int round = i / 16;
        uint32_t f = 0;
        int g = 0;
        switch (round) {
            case 0:
                f = (b & c) | (~b & d);
                g = i;
                break;
            case 1:
                f = (d & b) | (~d & c);
                g = (5 * i + 1) % 16;
                break;
            case 2:
                f = b ^ c ^ d;
                g = (3 * i + 5) % 16;
                break;
            default:
                f = c ^ (b | ~d);
                g = (7 * i) % 16;
                break;
        }
        uint32_t sum = a + f + kAdd[i] + block[g];
        a = d;
        d = c;
        c = b;
        b = b + RotateLeft(sum, kShift[round][i % 4]);
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

void Md5Update(Md5Context* ctx, const uint8_t* bytes, size_t length) {
    size_t index = (ctx->count[0] >> 3) & 63;
    uint32_t low = ctx->count[0] + uint32_t(length << 3);
    if (low < ctx->count[0])
        ++ctx->count[1];
    ctx->count[0] = low;
    ctx->count[1] += uint32_t(uint64_t(length) >> 29);
    for (size_t i = 0; i < length; ++i) {
        ctx->buffer[index++] = bytes[i];
        if (index == 64) {
            uint32_t words[16];
            DecodeBlock(ctx->buffer, words);
            Md5Transform(words, ctx->state);
            index = 0;
        }
    }
}

void Md5Final(Md5Context* ctx) {
    uint32_t bits[2] = {ctx->count[0], ctx->count[1]};
    size_t index = (ctx->count[0] >> 3) & 63;
    size_t padLength = index < 56 ? 56 - index : 120 - index;
    static const uint8_t kPadding[64] = {0x80};
    Md5Update(ctx, kPadding, padLength);
    uint32_t words[16];
    DecodeBlock(ctx->buffer, words);
    words[14] = bits[0];
    words[15] = bits[1];
    Md5Transform(words, ctx->state);
    for (int i = 0; i < 4; ++i) {
        for (int k = 0; k < 4; ++k)
            ctx->digest[4 * i + k] = uint8_t(ctx->state[i] >> (8 * k));
    }
}

uint64_t Md5HashFile(const char* path, uint32_t seed, Md5Context* ctx) {
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr)
        return 0;
    Md5Init(ctx, seed);
    uint8_t chunk[2048];
    uint64_t total = 0;
    for (;;) {
        size_t got = std::fread(chunk, 1, sizeof chunk, file);
        Md5Update(ctx, chunk, got);
        total += got;
        if (got < sizeof chunk)
            break;
    }
    std::fclose(file);
    Md5Final(ctx);
    return total;
}
