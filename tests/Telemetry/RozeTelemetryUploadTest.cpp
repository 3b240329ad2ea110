#include "Telemetry/RozeTelemetry.h"

#include "Analytics/RozeConfig.h"
#include "Analytics/RozeRedOZA.h"

#include "Common/FakeScheduler.h"
#include "Common/LocalHttpServer.h"

#include <QDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

// The bridge keeps the client's defaults, so the queue lives in the (temporary) data location.
class RozeTelemetryUploadTest : public ::testing::Test {
protected:
    void SetUp() override { QDir(RozeConfig::defaultStorageDirectory()).removeRecursively(); }
    void TearDown() override { QDir(RozeConfig::defaultStorageDirectory()).removeRecursively(); }

    LocalHttpServer m_server;
    FakeScheduler m_scheduler;
};

}  // namespace

TEST_F(RozeTelemetryUploadTest, WhatTheUserSaidReachesTheServiceOnlyAsItsLength)
{
    RozeRedOZA client(m_scheduler);
    RozeTelemetry bridge(client, m_server.url().toString());
    bridge.setup(true, QStringLiteral("parlivox-mac"));

    const QString sentence = QStringLiteral("내 비밀번호는 hunter2 야");
    const auto now = PipelineLog::Clock::now();
    bridge.forward({QUuid::createUuid(), now, QStringLiteral("turn"), sentence});
    bridge.forward({QUuid::createUuid(), now, QStringLiteral("endpointing"),
                    QStringLiteral("MANUAL FIRE — '") + sentence + QStringLiteral("'")});
    bridge.forward({QUuid::createUuid(), now, QStringLiteral("stt"), sentence});
    m_scheduler.advance(RozeConfig(QString(), QString()).flushInterval);
    ASSERT_TRUE(m_server.waitForRequests(1));

    const LocalHttpServer::Request& request = m_server.requests().first();
    EXPECT_EQ(request.path, "/i/v1/logs");
    EXPECT_EQ(request.headers.value("authorization"), "Bearer " + RozeTelemetry::kProjectToken.toUtf8());
    const QByteArray body = request.decodedBody();
    EXPECT_TRUE(body.contains("\"[turn] len=17\""));
    EXPECT_TRUE(body.contains("\"[endpointing] len=33\""));
    EXPECT_FALSE(body.contains("hunter2"));
    EXPECT_FALSE(body.contains(QStringLiteral("비밀번호").toUtf8()));
    EXPECT_EQ(body.count("\"logRecords\""), 1);
    EXPECT_EQ(body.count("\"severityText\""), 2);  // the "stt" entry never left

    bridge.setup(false, QStringLiteral("parlivox-mac"));
    EXPECT_EQ(client.logger(), nullptr);
}
