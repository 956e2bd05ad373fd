#pragma once

// The decode thread's view of one grid screen for the stream fuzz target: the video stream header in
// force and a decoder for its codec. Its state stays in screen_decoder.cpp, apart from the frame parser's
// side, because the two sides each declare the stream headers.

#include <memory>

struct FrameNode;

// Keeps libavcodec from logging every damaged picture.
void QuietDecoderLog();

class ScreenDecoder {
public:
    ScreenDecoder();
    ~ScreenDecoder();
    ScreenDecoder(const ScreenDecoder&) = delete;
    ScreenDecoder& operator=(const ScreenDecoder&) = delete;

    // Takes the node's header block (a changed codec reopens the decoder) and decodes its picture.
    // Aborts when a decoded picture lacks a positive even size or a plane.
    void Take(const FrameNode* node);

private:
    struct State;
    std::unique_ptr<State> m_state;
};
