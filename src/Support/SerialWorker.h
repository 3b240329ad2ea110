#pragma once

#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// One background thread running posted jobs strictly in order. The destructor runs
// every job already posted, then joins, so nothing queued is lost at exit.
class SerialWorker {
public:
    explicit SerialWorker(QString name);
    ~SerialWorker();
    SerialWorker(const SerialWorker&) = delete;
    SerialWorker& operator=(const SerialWorker&) = delete;

    void post(std::function<void()> job);
    // Blocks until every job posted before this call has run.
    void waitUntilIdle();
    // Runs the job on the worker and waits for it (must not be called from the worker).
    void runAndWait(std::function<void()> job);

    const QString& name() const { return m_name; }

private:
    void run();

    const QString m_name;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<std::function<void()>> m_jobs;
    bool m_busy = false;
    bool m_stopping = false;
    std::thread m_thread;
};
