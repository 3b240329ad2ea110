#include "Platform/QuitSignals.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>

namespace {

// A stop signal quits the event loop, so the program shuts down in order rather than at once.
TEST(QuitSignals, EachStopSignalQuitsTheEventLoop)
{
    for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(number);
        const QuitSignals quitSignals;
        QTimer timeout;
        timeout.setSingleShot(true);
        QObject::connect(&timeout, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        timeout.start(10000);
        QTimer::singleShot(0, [number] { std::raise(number); });
        EXPECT_EQ(QCoreApplication::exec(), 0) << "the signal did not quit";
    }
}

}  // namespace
