#include "Telemetry/RozeTelemetry.h"

#include "Analytics/RozeClient.h"
#include "Analytics/RozeConfig.h"
#include "Analytics/RozeLogger.h"

#include "Common/FakeScheduler.h"
#include "Common/LogCapture.h"
#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

#include <memory>

using namespace std::chrono_literals;

namespace {

const QString kHost = QStringLiteral("https://ingest.test");
const QString kService = QStringLiteral("parlivox-mac");
// 2026-01-05 08:00:00.123456 UTC
const PipelineLog::Clock::time_point kStamp{1'767'600'000'123'456us};

PipelineLog::Entry entry(const QString& category, const QString& message)
{
    return {QUuid::createUuid(), kStamp, category, message};
}

// Records the set-ups, closes and every record logged through the client.
struct FakeRozeClient final : RozeClient {
    void setup(const RozeConfig& config) override
    {
        setups.push_back(config);
        if (createsLogger)
            logger_ = std::make_unique<RozeLogger>(clock, [this](RozeLogRecord record) { records.append(record); });
    }
    void close() override { ++closes, logger_.reset(); }
    RozeLogger* logger() const override { return logger_.get(); }

    bool createsLogger = true;
    std::vector<RozeConfig> setups;
    int closes = 0;
    QList<RozeLogRecord> records;
    FakeScheduler clock;
    std::unique_ptr<RozeLogger> logger_;
};

class RozeTelemetryTest : public ::testing::Test {
protected:
    FakeRozeClient m_client;
    RozeTelemetry m_bridge{m_client, kHost};
};

}  // namespace

TEST_F(RozeTelemetryTest, SendsEachForwardableCategoryReducedAndAtItsSeverity)
{
    const QString sentence = QStringLiteral("내일 오전 10시에 회의 잡아줘");  // 17 characters
    const QString x39(39, QLatin1Char('x'));
    const struct {
        const char* category;
        QString message;
        QString text;
        RozeSeverity severity;
    } cases[] = {
        // Error texts may carry a backend's raw reply, so they go out as their length only.
        {"turn", QStringLiteral("upload failed again"), QStringLiteral("[turn] len=19"), RozeSeverity::warn},
        {"error", QStringLiteral("Assistant request failed: {\"detail\":\"my secret plan\"}"),
         QStringLiteral("[error] len=53"), RozeSeverity::error},
        {"error", QStringLiteral("all good"), QStringLiteral("[error] len=8"), RozeSeverity::error},
        // Skill lines: up to the first arrow and one word, or the first 40 characters.
        {"skill", QStringLiteral("✓ calendar.list_today → 3 events today"),
         QStringLiteral("[skill] ✓ calendar.list_today → 3"), RozeSeverity::info},
        {"skill", QStringLiteral("run →    spaced → words"), QStringLiteral("[skill] run → spaced"),
         RozeSeverity::info},
        {"skill", QStringLiteral("memory.add → "), QStringLiteral("[skill] memory.add → "), RozeSeverity::info},
        {"skill", QStringLiteral("create failed → denied"), QStringLiteral("[skill] create failed → denied"),
         RozeSeverity::warn},
        {"skill", QStringLiteral("a→b without the space"), QStringLiteral("[skill] a→b without the space"),
         RozeSeverity::info},
        {"skill", x39 + QStringLiteral("👍🏽 and more"),
         QStringLiteral("[skill] ") + x39 + QStringLiteral("👍🏽"), RozeSeverity::info},
        // Everything else goes out whole; only "aborted", "failed" and "FAILED" warn.
        {"fsm", QStringLiteral("start failed: mic busy"), QStringLiteral("[fsm] start failed: mic busy"),
         RozeSeverity::warn},
        {"session", QStringLiteral("recognizer FAILED"), QStringLiteral("[session] recognizer FAILED"),
         RozeSeverity::warn},
        {"barge-in", QStringLiteral("speech aborted"), QStringLiteral("[barge-in] speech aborted"), RozeSeverity::warn},
        {"update", QStringLiteral("Failed to check"), QStringLiteral("[update] Failed to check"), RozeSeverity::info},
        {"session", QStringLiteral("FAILURE Aborted"), QStringLiteral("[session] FAILURE Aborted"), RozeSeverity::info},
    };
    m_bridge.setup(true, kService);
    const auto sent = [&](const QString& category, const QString& message) {
        m_client.records.clear();
        m_bridge.forward(entry(category, message));
        return m_client.records.size() == 1 ? m_client.records.first() : RozeLogRecord{};
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const RozeLogRecord record = sent(QString::fromUtf8(c.category), c.message);
        EXPECT_EQ(record.body, c.text);
        EXPECT_EQ(record.severity, c.severity);
    }
    // What the user said or an assistant answered, and the lines quoting it, go out as a length.
    for (const char* category : {"turn", "llm", "tts", "minutes", "alias", "manual", "endpointing"})
        EXPECT_EQ(sent(QString::fromUtf8(category), sentence).body,
                  QStringLiteral("[%1] len=17").arg(QString::fromUtf8(category)));
    // Other categories, matched exactly, never leave.
    for (const char* category : {"stt", "audio", "camera", "FSM", "error ", ""})
        EXPECT_TRUE(sent(QString::fromUtf8(category), sentence).body.isEmpty()) << category;
}

TEST_F(RozeTelemetryTest, AttachesExactlyCategoryTimestampAndLength)
{
    m_bridge.setup(true, kService);
    m_bridge.forward(entry(QStringLiteral("fsm"), QStringLiteral("idle → 👍🏽")));
    ASSERT_EQ(m_client.records.size(), 1);
    const QVariantMap& attributes = m_client.records.first().attributes;
    EXPECT_EQ(attributes.keys(),
              (QStringList{QStringLiteral("category"), QStringLiteral("len"), QStringLiteral("ts")}));
    EXPECT_EQ(attributes.value(QStringLiteral("category")), QVariant(QStringLiteral("fsm")));
    EXPECT_EQ(attributes.value(QStringLiteral("ts")).metaType().id(), QMetaType::Double);
    EXPECT_DOUBLE_EQ(attributes.value(QStringLiteral("ts")).toDouble(), 1767600000.123456);
    EXPECT_EQ(attributes.value(QStringLiteral("len")), QVariant(qint64(8)));
}

TEST_F(RozeTelemetryTest, SetsTheClientUpOnceWithCaptureOffAndClosesOnlyAnActiveOne)
{
    LogCapture log(QStringLiteral("app.parlivox.telemetry"));
    m_bridge.setup(false, kService);
    EXPECT_EQ(m_client.closes, 0);
    m_client.setup(RozeConfig(QStringLiteral("other"), kHost));  // set up by someone else
    m_bridge.forward(entry(QStringLiteral("fsm"), QStringLiteral("before")));
    EXPECT_TRUE(m_client.records.isEmpty());

    m_bridge.setup(true, kService);
    m_bridge.setup(true, kService);
    ASSERT_EQ(m_client.setups.size(), 2u);
    const RozeConfig& config = m_client.setups.back();
    EXPECT_EQ(config.projectToken, RozeTelemetry::kProjectToken);
    EXPECT_EQ(config.host, kHost);
    EXPECT_FALSE(config.captureApplicationLifecycleEvents);
    EXPECT_FALSE(config.captureScreenViews);
    EXPECT_EQ(log.messages(),
              QStringList{QStringLiteral("Roze telemetry active (host=https://ingest.test, service=parlivox-mac)")});

    m_bridge.setup(false, kService);
    m_bridge.setup(false, kService);
    EXPECT_EQ(m_client.closes, 1);
    EXPECT_FALSE(m_bridge.isActive());
    m_bridge.setup(true, kService);
    EXPECT_EQ(m_client.setups.size(), 3u);
    m_bridge.forward(entry(QStringLiteral("fsm"), QStringLiteral("resumed")));
    ASSERT_EQ(m_client.records.size(), 1);
    EXPECT_EQ(m_client.records.first().body, QStringLiteral("[fsm] resumed"));

    // The production host is one the client accepts.
    EXPECT_TRUE(RozeConfig(RozeTelemetry::kProjectToken, RozeTelemetry::kIngestionHost).logsEndpoint());
}

TEST_F(RozeTelemetryTest, DropsEntriesWhileTheClientHasNoLogger)
{
    m_client.createsLogger = false;
    m_bridge.setup(true, kService);
    EXPECT_TRUE(m_bridge.isActive());
    m_bridge.forward(entry(QStringLiteral("error"), QStringLiteral("boom")));
    EXPECT_TRUE(m_client.records.isEmpty());
}
