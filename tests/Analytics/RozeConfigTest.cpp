#include "Analytics/RozeConfig.h"

#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

TEST(RozeConfig, LogsEndpointAcceptsHttpsAndLoopbackOnly)
{
    const struct {
        const char* host;
        const char* endpoint;  // nullptr: refused
    } cases[] = {
        {"https://ingest.example", "https://ingest.example/i/v1/logs"},
        {"https://ingest.example/", "https://ingest.example/i/v1/logs"},
        {"https://ingest.example/eu//", "https://ingest.example/eu/i/v1/logs"},
        {"https://ingest.example:8443", "https://ingest.example:8443/i/v1/logs"},
        {"http://127.0.0.1:4318", "http://127.0.0.1:4318/i/v1/logs"},
        {"http://[::1]:4318", "http://[::1]:4318/i/v1/logs"},
        {"http://ingest.example", nullptr},  // the token would travel in clear text
        {"http://localhost.example", nullptr},
        {"ftp://ingest.example", nullptr},
        {"https://ingest.example?x=1", nullptr},
        {"https://user:pw@ingest.example", nullptr},
        {"ingest.example", nullptr},
        {"", nullptr},
        {"https://", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.host);
        const RozeConfig config(QStringLiteral("token"), QString::fromUtf8(c.host));
        QString error;
        const auto endpoint = config.logsEndpoint(&error);
        if (c.endpoint) {
            ASSERT_TRUE(endpoint.has_value()) << qPrintable(error);
            EXPECT_EQ(endpoint->toString(), QString::fromUtf8(c.endpoint));
        } else {
            EXPECT_FALSE(endpoint.has_value());
            EXPECT_FALSE(error.isEmpty());
        }
    }
}
