#pragma once

// The capture backend for tests: buffers made while it is chosen play into a log instead of a device,
// and only as many bytes as the test grants, so a test steps playback exactly, without a clock.

#include <cstdint>
#include <vector>

namespace sound_capture {
// Empties the log, takes back every grant and zeroes the drop count.
void Reset();
// Lets capture buffers play this many more bytes (all buffers together).
void Grant(uint32_t bytes);
// Waits up to timeoutMs until the log holds at least `bytes` bytes. True when it does.
bool WaitPlayed(uint64_t bytes, int timeoutMs);
// How often a capture buffer dropped what it held (every start, stop and mute), and a bounded wait until
// it has done so `count` times.
int Resets();
bool WaitResets(int count, int timeoutMs);
// The bytes played so far, after volume.
std::vector<uint8_t> Played();
}  // namespace sound_capture
