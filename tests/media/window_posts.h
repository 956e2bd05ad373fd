#pragma once

// A window-post handler for tests: records every post to any window and lets a test wait for one.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "platform/system/window_post.h"

struct RecordedPost {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class WindowPostRecorder {
public:
    WindowPostRecorder() {
        Instance() = this;
        SetWindowPostHandler(&WindowPostRecorder::Handle);
    }
    ~WindowPostRecorder() {
        SetWindowPostHandler(nullptr);
        Instance() = nullptr;
    }
    // Waits up to timeoutMs until `count` posts of message have come.
    bool WaitFor(UINT message, size_t count, int timeoutMs) {
        std::unique_lock<std::mutex> guard(m_lock);
        return m_changed.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                                  [&] { return Count(message) >= count; });
    }
    size_t CountOf(UINT message) {
        std::lock_guard<std::mutex> guard(m_lock);
        return Count(message);
    }
    std::vector<RecordedPost> Posts() {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_posts;
    }

private:
    static WindowPostRecorder*& Instance() {
        static WindowPostRecorder* instance = nullptr;
        return instance;
    }
    static BOOL Handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, PostPayloadDeleter) {
        WindowPostRecorder* self = Instance();
        if (self == nullptr)
            return FALSE;
        std::lock_guard<std::mutex> guard(self->m_lock);
        self->m_posts.push_back({hwnd, msg, wParam, lParam});
        self->m_changed.notify_all();
        return TRUE;
    }
    size_t Count(UINT message) const {
        size_t n = 0;
        for (const RecordedPost& p : m_posts)
            n += p.message == message;
        return n;
    }
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<RecordedPost> m_posts;
};
