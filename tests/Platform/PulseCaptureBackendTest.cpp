#include "Platform/PulseCaptureBackend.h"

#include <QtGlobal>

#include <gtest/gtest.h>

TEST(PulseCaptureBackend, ASoundServerThatIsGoneFailsTheStartWithItsReason)
{
    const QByteArray server = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", "unix:/nonexistent/parlivox-test/pulse.sock");
    PulseCaptureBackend backend;
    bool delivered = false;
    const auto failure = backend.start({48000, 2}, [&](const float*, std::int64_t) { delivered = true; });
    if (server.isNull())
        qunsetenv("PULSE_SERVER");
    else
        qputenv("PULSE_SERVER", server);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(*failure, QStringLiteral("Connection refused"));
    backend.stop();
    EXPECT_FALSE(delivered);
}
