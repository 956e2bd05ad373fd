#include "ui/alarm_beep.h"

#include <QApplication>
#include <QTimer>
#include <cmath>
#include <numbers>

#include "platform/audio/pcm_format.h"
#include "platform/audio/sound_buffer.h"

std::vector<int16_t> MakeBeepTone(int hz, int ms, int rate) {
    if (hz <= 0 || ms <= 0 || rate <= 0)
        return {};
    std::vector<int16_t> samples(static_cast<size_t>(rate) * static_cast<size_t>(ms) / 1000);
    for (size_t i = 0; i < samples.size(); ++i) {
        double phase = 2.0 * std::numbers::pi * hz * static_cast<double>(i) / rate;
        samples[i] = static_cast<int16_t>(std::lround(16383.0 * std::sin(phase)));
    }
    return samples;
}

AlarmBeep::AlarmBeep() : m_timerOwner(std::make_unique<QObject>()) {
    std::vector<int16_t> tone = MakeBeepTone(ALARM_BEEP_HZ, ALARM_BEEP_MS, ALARM_BEEP_RATE);
    auto bytes = static_cast<uint32_t>(tone.size() * sizeof(int16_t));
    m_buffer = SoundBuffer::Create(MakePcmFormat(16, ALARM_BEEP_RATE, 1), bytes);
    uint32_t copied = 0;
    if (m_buffer != nullptr &&
        m_buffer->WriteRegion(0, reinterpret_cast<const uint8_t*>(tone.data()), bytes, &copied) < 0)
        m_buffer.reset();
}

AlarmBeep::~AlarmBeep() {
    m_timerOwner.reset();
}

void AlarmBeep::Play() {
    if (m_buffer != nullptr) {
        m_buffer->Stop();
        m_buffer->Play();
        // The buffer loops: it is stopped once the tone has played through.
        // The timer goes with this object, so it never reaches a freed buffer.
        SoundBuffer* buffer = m_buffer.get();
        QTimer::singleShot(ALARM_BEEP_MS, m_timerOwner.get(), [buffer] { buffer->Stop(); });
    }
    QApplication::beep();
}
