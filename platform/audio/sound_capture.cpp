#include "platform/audio/sound_capture.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/audio/sound_sink.h"

namespace {
std::mutex g_lock;
std::condition_variable g_changed;
uint64_t g_granted = 0;
int g_resets = 0;
std::vector<uint8_t> g_played;

class CaptureSink : public SoundSink {
public:
    bool Write(const uint8_t* data, uint32_t bytes, const std::atomic<uint64_t>& generation,
               uint64_t mine) override {
        std::unique_lock<std::mutex> guard(g_lock);
        // Short waits: a stop changes the generation without notifying this condition.
        while (g_granted < bytes) {
            if (generation.load() != mine)
                return false;
            g_changed.wait_for(guard, std::chrono::milliseconds(5));
        }
        if (generation.load() != mine)
            return false;
        g_granted -= bytes;
        g_played.insert(g_played.end(), data, data + bytes);
        g_changed.notify_all();
        return true;
    }
    void Reset() override {
        std::lock_guard<std::mutex> guard(g_lock);
        ++g_resets;
        g_changed.notify_all();
    }
};
}  // namespace

std::unique_ptr<SoundSink> MakeCaptureSink(const PcmFormat&) {
    return std::make_unique<CaptureSink>();
}

namespace sound_capture {
void Reset() {
    std::lock_guard<std::mutex> guard(g_lock);
    g_granted = 0;
    g_resets = 0;
    g_played.clear();
}

void Grant(uint32_t bytes) {
    std::lock_guard<std::mutex> guard(g_lock);
    g_granted += bytes;
    g_changed.notify_all();
}

bool WaitPlayed(uint64_t bytes, int timeoutMs) {
    std::unique_lock<std::mutex> guard(g_lock);
    return g_changed.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                              [bytes] { return g_played.size() >= bytes; });
}

bool WaitResets(int count, int timeoutMs) {
    std::unique_lock<std::mutex> guard(g_lock);
    return g_changed.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                              [count] { return g_resets >= count; });
}

int Resets() {
    std::lock_guard<std::mutex> guard(g_lock);
    return g_resets;
}

std::vector<uint8_t> Played() {
    std::lock_guard<std::mutex> guard(g_lock);
    return g_played;
}
}  // namespace sound_capture
