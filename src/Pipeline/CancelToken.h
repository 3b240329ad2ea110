#pragma once

#include <memory>

// Cooperative cancellation of one reply and of the work it started (a skill run, the camera
// pass): copies share one flag, so work that outlives its starter can still ask whether it
// was called off. GUI thread only.
class CancelToken {
public:
    void cancel() { *m_cancelled = true; }
    bool isCancelled() const { return *m_cancelled; }
    // Whether both are copies of one token.
    friend bool operator==(const CancelToken& a, const CancelToken& b) { return a.m_cancelled == b.m_cancelled; }

private:
    std::shared_ptr<bool> m_cancelled = std::make_shared<bool>(false);
};
