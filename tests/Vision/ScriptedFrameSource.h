#pragma once

#include "Vision/FrameSource.h"

#include <condition_variable>
#include <memory>
#include <mutex>

// A frame source the test drives: it can refuse to start or hold its start until released,
// counts starts and stops, and delivers the frames the test hands to deliver().
class ScriptedFrameSource final : public FrameSource {
public:
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        std::optional<CameraError> failure;
        bool holdStart = false;
        int starts = 0;
        int stops = 0;
        FrameHandler handler;  // while started
    };

    explicit ScriptedFrameSource(std::shared_ptr<State> state) : m_state(std::move(state)) {}

    std::optional<CameraError> start(FrameHandler handler) override
    {
        std::unique_lock lock(m_state->mutex);
        ++m_state->starts;
        m_state->changed.wait(lock, [this] { return !m_state->holdStart; });
        if (m_state->failure)
            return m_state->failure;
        m_state->handler = std::move(handler);
        return std::nullopt;
    }
    void stop() override
    {
        std::lock_guard lock(m_state->mutex);
        if (m_state->handler)
            ++m_state->stops;
        m_state->handler = nullptr;
    }

    static void release(State& state)
    {
        std::lock_guard lock(state.mutex);
        state.holdStart = false;
        state.changed.notify_all();
    }
    // Hands the frame to the running start's handler, as a capture thread would.
    static void deliver(State& state, const CameraFrame& frame)
    {
        FrameHandler handler;
        {
            std::lock_guard lock(state.mutex);
            handler = state.handler;
        }
        if (handler)
            handler(frame);
    }

private:
    std::shared_ptr<State> m_state;
};
