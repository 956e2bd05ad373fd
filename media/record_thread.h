#pragma once

// The record thread of each grid slot: it drains the slot's two record queues into AVI files through the
// slot's writer, one file per channel and half hour. A new file is begun at every half-hour boundary (in
// seconds since 1970), when the stream's format changes (a stream header that differs from the current
// one), when the slot shows another channel, and after an end marker (a video node without payload),
// which closes the file. Paths come from the record storage; when it has none, the folders cannot be
// made or the file cannot be begun, the main window gets WM_RECORD_DISKFULL once per run of failures. A
// packet the file cannot take (no room on the disk or under the file-size limit, or a write the disk
// refused) closes the file with what it holds and its index, posts WM_RECORD_DISKFULL, and the next video
// packet begins a new file; so does a file whose index could not be written when it closed. A stream header
// whose picture size, frame rate or sample rate the writer cannot store counts as no header: without a video
// header nothing is recorded, without an audio header files have video only.

#include <QString>
#include <cstdint>

#include "dvr/stream_headers.h"
#include "platform/avi/avi_formats.h"

struct DVRDevice;
class RecordStorage;

// Nodes of a grid slot's record audio queue: as many as its record video queue, so a record thread that
// is late (a slow disk, a busy machine) loses no audio before it would lose pictures. The live audio
// queue stays short: late live sound is worth nothing.
constexpr int RECORD_AUDIO_QUEUE_NODES = 90;

// What one record thread keeps between its turns.
struct RecordThreadState {
    VideoStreamHeader videoHeader{};
    AudioStreamHeader audioHeader{};
    BITMAPINFOHEADER videoFormat{};
    WAVEFORMATEX audioFormat{};  // all zero until the first audio header
    bool fileOpen = false;
    bool audioStream = false;  // the open file has an audio stream
    QString path;              // the open file (Windows form)
    DVRDevice* fileDevice = nullptr;
    int fileChannel = -1;
    bool diskFullPosted = false;
};

// Thread routine; arg is the slot index 0-63. 0 when it ends on WM_QUIT (the open file closed), -1 at
// once when the slot lacks its record queues or writer, or there is no record storage.
unsigned RecordThread(void* arg);

// One turn: takes at most one node of each record queue and records it. 1 when a node was taken, 0 when
// both queues were empty, -1 for a slot without its queues or writer.
[[nodiscard]] int RecordSlotTurn(int slot, RecordStorage* storage, RecordThreadState* state);
// Closes the slot's open file (a complete file), as the thread does when it ends.
void EndSlotRecording(int slot, RecordStorage* storage, RecordThreadState* state);
