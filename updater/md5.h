#pragma once

// MD5 message digest (RFC 1321). The seed is added to the initial chaining values; seed 0 gives the
// standard digest, which is what the package check uses.

#include <cstddef>
#include <cstdint>

struct Md5Context {
    uint32_t count[2];   // bits processed so far, modulo 2^64, low word first
    uint32_t state[4];   // chaining values a, b, c, d
    uint8_t buffer[64];  // bytes of the current, incomplete block
    uint8_t digest[16];  // the result, written by Md5Final
};

void Md5Init(Md5Context* ctx, uint32_t seed);
void Md5Update(Md5Context* ctx, const uint8_t* bytes, size_t length);
void Md5Final(Md5Context* ctx);
// The compression of one 64-byte block, given as sixteen little-endian words, into state.
void Md5Transform(const uint32_t block[16], uint32_t state[4]);
// Digest of a whole file (path in the local 8-bit encoding). Returns the number of bytes read; 0 when the
// file cannot be opened, in which case ctx is left as it was.
uint64_t Md5HashFile(const char* path, uint32_t seed, Md5Context* ctx);
