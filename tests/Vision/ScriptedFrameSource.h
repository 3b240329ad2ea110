#pragma once

#include "Vision/FrameSource.h"

#include <condition_variable>
#include <mutex>

// A frame source the test drives: it can refuse to start or hold its start until released,
// counts starts and stops, and hands on the frames the test passes to deliver().
struct ScriptedFrameSource final : FrameSource {
    struct State {
        std::mutex mutex;
        std::condition_variable released;
        std::optional<CameraError> failure;
        bool holdStart = false;
        int starts = 0;
        int stops = 0;
        FrameHandler handler;  // while started
    };

    explicit ScriptedFrameSource(State& state) : state(state) {}

    std::optional<CameraError> start(FrameHandler handler) override
    {
        std::unique_lock lock(state.mutex);
        ++state.starts;
        state.released.wait(lock, [this] { return !state.holdStart; });
        if (!state.failure)
            state.handler = std::move(handler);
        return state.failure;
    }
    void stop() override
    {
        std::lock_guard lock(state.mutex);
        state.stops += state.handler ? 1 : 0;
        state.handler = nullptr;
    }

    State& state;
};
