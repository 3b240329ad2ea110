#include "Support/SerialWorker.h"

#include <pthread.h>

SerialWorker::SerialWorker(QString name) : m_name(std::move(name))
{
    m_thread = std::thread([this] { run(); });
}

SerialWorker::~SerialWorker()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void SerialWorker::post(std::function<void()> job)
{
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
}

void SerialWorker::waitUntilIdle()
{
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_jobs.empty() && !m_busy; });
}

void SerialWorker::runAndWait(std::function<void()> job)
{
    std::mutex doneMutex;
    std::condition_variable doneSignal;
    bool done = false;
    post([&] {
        job();
        std::lock_guard lock(doneMutex);
        done = true;
        doneSignal.notify_one();
    });
    std::unique_lock lock(doneMutex);
    doneSignal.wait(lock, [&] { return done; });
}

void SerialWorker::run()
{
    // Thread names are limited to 15 bytes; keep the distinctive tail of "app.parlivox.x".
    const QByteArray threadName = m_name.section('.', -1).left(15).toUtf8();
    pthread_setname_np(pthread_self(), threadName.constData());

    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
        if (m_jobs.empty()) {
            if (m_stopping)
                return;
            continue;
        }
        auto job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_busy = true;
        lock.unlock();
        job();
        lock.lock();
        m_busy = false;
        if (m_jobs.empty())
            m_idle.notify_all();
    }
}
