#include "Platform/QuitSignals.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcQuitSignals, "app.parlivox.app")

namespace {

constexpr std::array kSignals{SIGTERM, SIGINT, SIGHUP};
int g_pipe[2] = {-1, -1};

void onSignal(int number)
{
    // The interrupted thread may be about to read errno (a failed write on the recorder's worker).
    const int savedErrno = errno;
    const char byte = char(number);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = savedErrno;
}

}  // namespace

QuitSignals::QuitSignals(QObject* parent) : QObject(parent)
{
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        qCWarning(lcQuitSignals, "no pipe for quit signals: they end the program at once");
        return;
    }
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [] {
        char byte = 0;
        while (::read(g_pipe[0], &byte, 1) == 1)
            qCInfo(lcQuitSignals, "signal %d: quitting", int(byte));
        QCoreApplication::quit();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // A second signal, while the first one's orderly quit is under way, ends the program at once.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (const int number : kSignals)
        ::sigaction(number, &action, nullptr);
}

QuitSignals::~QuitSignals()
{
    if (!m_notifier)
        return;
    // Signals from here on end the program as they would without it.
    for (const int number : kSignals)
        ::signal(number, SIG_DFL);
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}
