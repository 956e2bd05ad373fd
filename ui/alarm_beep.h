#pragma once

// The channel lights' alarm beep: a 500 Hz tone of 300 ms through the program's sound output, then the
// desktop's own alert sound.

#include <cstdint>
#include <memory>
#include <vector>

class QObject;
class SoundBuffer;

constexpr int ALARM_BEEP_HZ = 500;
constexpr int ALARM_BEEP_MS = 300;
constexpr int ALARM_BEEP_RATE = 8000;

// A sine tone of `hz` for `ms` milliseconds as 16-bit mono samples at `rate`, at half the full scale.
[[nodiscard]] std::vector<int16_t> MakeBeepTone(int hz, int ms, int rate);

class AlarmBeep {
public:
    AlarmBeep();
    ~AlarmBeep();
    AlarmBeep(const AlarmBeep&) = delete;
    AlarmBeep& operator=(const AlarmBeep&) = delete;
    // Starts the tone (again from its start when it still plays); it stops by itself. UI thread.
    void Play();

private:
    std::unique_ptr<SoundBuffer> m_buffer;  // null when there is no sound output
    std::unique_ptr<QObject> m_timerOwner;
};
