#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// The last resort of quitting. Made once the session is written (the engine is gone, so the
// recording is closed and the minutes, meeting note and history lines are on disk), it gives
// the rest of the teardown `limit`. Should that still be running then, held up by a thread that
// cannot be stopped (a skill's worker in a call that cannot be cut short: an open that waits
// for a writer, a long library step), the process ends with `exitCode`, after saying so,
// rather than wait for it. That thread ends with the process, never outliving what it uses,
// and nothing is lost that a crash would keep: every store replaces its files atomically or
// appends whole lines. Destroyed in time, it only stops its own thread.
class QuitDeadline {
public:
    QuitDeadline(std::chrono::milliseconds limit, int exitCode);
    ~QuitDeadline();
    QuitDeadline(const QuitDeadline&) = delete;
    QuitDeadline& operator=(const QuitDeadline&) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_finished;
    bool m_done = false;
    // Last: it waits on the members above.
    std::thread m_watch;
};
