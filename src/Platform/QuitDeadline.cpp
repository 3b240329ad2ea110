#include "Platform/QuitDeadline.h"

#include <QLoggingCategory>

#include <cstdio>

#include <pthread.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcQuitDeadline, "app.parlivox.app")

QuitDeadline::QuitDeadline(std::chrono::milliseconds limit, int exitCode)
{
    m_watch = std::thread([this, limit, exitCode] {
        pthread_setname_np(pthread_self(), "quit-deadline");
        std::unique_lock lock(m_mutex);
        if (m_finished.wait_for(lock, limit, [this] { return m_done; }))
            return;
        qCWarning(lcQuitDeadline,
                  "quitting: still not done %lld ms after the session was written (a thread in a call that cannot be "
                  "cut short, such as a skill's worker); the program ends without waiting for it",
                  static_cast<long long>(limit.count()));
        // Nothing else runs at exit: no destructor may meet the thread that is still at work.
        std::fflush(nullptr);
        ::_exit(exitCode);
    });
}

QuitDeadline::~QuitDeadline()
{
    {
        std::lock_guard lock(m_mutex);
        m_done = true;
    }
    m_finished.notify_one();
    m_watch.join();
}
