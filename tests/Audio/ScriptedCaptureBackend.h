#pragma once

#include "Audio/CaptureBackend.h"

#include <QStringList>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

// A capture backend the test drives: it reports the device and format the test sets, can
// refuse devices or the start, and delivers frames either when the test calls deliver() or,
// in streaming mode, continuously from a capture thread of its own until stopped; lose()
// takes the device away.
class ScriptedCaptureBackend final : public CaptureBackend {
public:
    static constexpr std::int32_t kNoSuchDevice = 5;  // the status of a refused device

    struct State {
        std::mutex mutex;
        bool hasDevice = true;  // a system default to fall back to
        QString deviceName = QStringLiteral("Scripted microphone");
        AudioFormat format{48000, 2};
        QStringList refusedDevices;
        std::optional<QString> startFailure;
        bool streaming = false;
        QStringList selected;  // every selectDevice() call in order
        int starts = 0;
        std::atomic<int> stops = 0;  // the test waits for it from its own thread
        FramesHandler handler;
        LostHandler lost;
    };

    explicit ScriptedCaptureBackend(std::shared_ptr<State> state) : m_state(std::move(state)) {}
    ~ScriptedCaptureBackend() override { stop(); }

    std::optional<AudioDeviceError> selectDevice(const QString& deviceId) override
    {
        std::lock_guard lock(m_state->mutex);
        m_state->selected.append(deviceId);
        if ((deviceId.isEmpty() && !m_state->hasDevice) || m_state->refusedDevices.contains(deviceId))
            return AudioDeviceError{AudioDeviceError::Kind::setDeviceFailed, kNoSuchDevice};
        return std::nullopt;
    }
    QString deviceName() const override { return m_state->deviceName; }
    AudioFormat deviceFormat() const override { return m_state->format; }
    std::optional<QString> start(const AudioFormat&, FramesHandler handler, LostHandler lost) override
    {
        std::lock_guard lock(m_state->mutex);
        ++m_state->starts;
        if (m_state->startFailure)
            return m_state->startFailure;
        m_state->handler = std::move(handler);
        m_state->lost = std::move(lost);
        if (m_state->streaming) {
            m_running = true;
            m_thread = std::thread([this, handler = m_state->handler, channels = m_state->format.channels] {
                const std::vector<float> period(std::size_t(1000 * channels), 0.25f);
                while (m_running)
                    handler(period.data(), 1000);
            });
        }
        return std::nullopt;
    }
    void stop() override
    {
        m_running = false;
        if (m_thread.joinable())
            m_thread.join();
        std::lock_guard lock(m_state->mutex);
        if (m_state->handler)
            ++m_state->stops;
        m_state->handler = nullptr;
        m_state->lost = nullptr;
    }

    // Captures `frames` interleaved frames on the calling thread.
    static void deliver(State& state, const std::vector<float>& interleaved)
    {
        FramesHandler handler;
        {
            std::lock_guard lock(state.mutex);
            handler = state.handler;
        }
        if (handler)
            handler(interleaved.data(), std::int64_t(interleaved.size()) / state.format.channels);
    }

    // The device goes away, as told on the calling thread.
    static void lose(State& state)
    {
        LostHandler lost;
        {
            std::lock_guard lock(state.mutex);
            lost = state.lost;
        }
        if (lost)
            lost();
    }

private:
    std::shared_ptr<State> m_state;
    std::atomic<bool> m_running{false};
    std::thread m_thread;
};
