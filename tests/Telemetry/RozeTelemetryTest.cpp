#include "Telemetry/RozeTelemetry.h"

#include "Telemetry/FakeRozeClient.h"

#include "Common/LogCapture.h"
#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

const QString kHost = QStringLiteral("https://ingest.test");
// 2026-01-05 08:00:00.123456 UTC
const PipelineLog::Clock::time_point kStamp{1'767'600'000'123'456us};

PipelineLog::Entry entry(const QString& category, const QString& message)
{
    return {QUuid::createUuid(), kStamp, category, message};
}

class RozeTelemetryTest : public ::testing::Test {
protected:
    void activate() { m_bridge.setup(true, QStringLiteral("parlivox-mac")); }

    FakeRozeClient m_client;
    RozeTelemetry m_bridge{m_client, kHost};
};

}  // namespace

TEST_F(RozeTelemetryTest, SendsEachForwardableCategoryReducedAndAtItsSeverity)
{
    const QString sentence = QStringLiteral("내일 오전 10시에 회의 잡아줘");  // 17 characters
    const struct {
        const char* category;
        QString message;
        QString text;
        RozeSeverity severity;
    } cases[] = {
        // What the user said or the assistant answered goes out as its length only.
        {"turn", sentence, QStringLiteral("[turn] len=17"), RozeSeverity::info},
        {"llm", QStringLiteral("Sure, I booked it."), QStringLiteral("[llm] len=18"), RozeSeverity::info},
        {"tts", QStringLiteral("speak: 좋아요"), QStringLiteral("[tts] len=10"), RozeSeverity::info},
        {"minutes", QStringLiteral("Speaker 1: hello"), QStringLiteral("[minutes] len=16"), RozeSeverity::info},
        {"alias", QStringLiteral("'지피티' → 'GPT'"), QStringLiteral("[alias] len=13"), RozeSeverity::info},
        {"manual", QStringLiteral("typed: hi"), QStringLiteral("[manual] len=9"), RozeSeverity::info},
        {"turn", QStringLiteral("upload failed again"), QStringLiteral("[turn] len=19"), RozeSeverity::warn},
        // Endpointing lines quote the transcript and error texts may carry a backend's raw
        // reply, so they are reduced as well.
        {"endpointing", QStringLiteral("MANUAL FIRE — '") + sentence + QStringLiteral("'"),
         QStringLiteral("[endpointing] len=33"), RozeSeverity::info},
        {"endpointing", QStringLiteral("fast-fire FIRED — 700ms — 'call mom'"), QStringLiteral("[endpointing] len=36"),
         RozeSeverity::info},
        {"error", QStringLiteral("Assistant request failed: {\"detail\":\"my secret plan\"}"),
         QStringLiteral("[error] len=53"), RozeSeverity::error},
        {"error", QStringLiteral("all good"), QStringLiteral("[error] len=8"), RozeSeverity::error},
        // Skill lines keep their mark, skill id and outcome, never a summary, result or answer.
        {"skill", QStringLiteral("✓ calendar.list_today → 3 events today"),
         QStringLiteral("[skill] ✓ calendar.list_today"), RozeSeverity::info},
        {"skill", QStringLiteral("→ mail.compose (메일 작성: kim@example.com)"),
         QStringLiteral("[skill] → mail.compose"), RozeSeverity::info},
        {"skill", QStringLiteral("voice approve via '네 진행해'"), QStringLiteral("[skill] voice approve"),
         RozeSeverity::info},
        {"skill", QStringLiteral("failed to decode JSON tool call: {\"skill\":\"memory.add\",\"args\":{\"note\":1}"),
         QStringLiteral("[skill] failed to decode JSON tool call"), RozeSeverity::warn},
        {"skill", QStringLiteral("✗ blocked disabled skill 'calendar.delete_event'"),
         QStringLiteral("[skill] ✗ blocked disabled skill 'calendar.delete_event'"), RozeSeverity::info},
        {"skill", QStringLiteral("unknown skill id '내일 치과 예약'"), QStringLiteral("[skill] unknown skill id"),
         RozeSeverity::info},
        {"skill", QString(39, QLatin1Char('x')) + QStringLiteral("👍🏽 and more"),
         QStringLiteral("[skill] ") + QString(39, QLatin1Char('x')) + QStringLiteral("👍🏽"), RozeSeverity::info},
        // Everything else goes out whole.
        {"fsm", QStringLiteral("listening → thinking (turn ended)"),
         QStringLiteral("[fsm] listening → thinking (turn ended)"), RozeSeverity::info},
        {"fsm", QStringLiteral("start failed: mic busy"), QStringLiteral("[fsm] start failed: mic busy"),
         RozeSeverity::warn},
        {"session", QStringLiteral("recognizer FAILED"), QStringLiteral("[session] recognizer FAILED"),
         RozeSeverity::warn},
        {"barge-in", QStringLiteral("speech aborted"), QStringLiteral("[barge-in] speech aborted"), RozeSeverity::warn},
        {"update", QStringLiteral("Failed to check"), QStringLiteral("[update] Failed to check"), RozeSeverity::info},
        {"session", QStringLiteral("FAILURE Aborted"), QStringLiteral("[session] FAILURE Aborted"), RozeSeverity::info},
    };
    activate();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        m_client.records.clear();
        m_bridge.forward(entry(QString::fromUtf8(c.category), c.message));
        ASSERT_EQ(m_client.records.size(), 1);
        const RozeLogRecord& record = m_client.records.first();
        EXPECT_EQ(record.body, c.text);
        EXPECT_EQ(record.severity, c.severity);
        EXPECT_EQ(record.attributes.value(QStringLiteral("category")).toString(), QString::fromUtf8(c.category));
    }
}

TEST_F(RozeTelemetryTest, AttachesExactlyCategoryTimestampAndLength)
{
    activate();
    m_bridge.forward(entry(QStringLiteral("fsm"), QStringLiteral("idle → listening")));
    ASSERT_EQ(m_client.records.size(), 1);
    const QVariantMap& attributes = m_client.records.first().attributes;
    EXPECT_EQ(attributes.keys(),
              (QStringList{QStringLiteral("category"), QStringLiteral("len"), QStringLiteral("ts")}));
    EXPECT_EQ(attributes.value(QStringLiteral("category")), QVariant(QStringLiteral("fsm")));
    EXPECT_EQ(attributes.value(QStringLiteral("ts")).metaType().id(), QMetaType::Double);
    EXPECT_DOUBLE_EQ(attributes.value(QStringLiteral("ts")).toDouble(), 1767600000.123456);
    EXPECT_EQ(attributes.value(QStringLiteral("len")).metaType().id(), QMetaType::LongLong);
    EXPECT_EQ(attributes.value(QStringLiteral("len")).toLongLong(), 16);
}

TEST_F(RozeTelemetryTest, CountsUserPerceivedCharacters)
{
    const struct {
        const char* name;
        QString message;
        qint64 length;
    } cases[] = {
        {"empty", QString(), 0},
        {"emoji with skin tone", QStringLiteral("👍🏽"), 1},
        {"family emoji joined", QStringLiteral("👨‍👩‍👧‍👦"), 1},
        {"Hangul syllables", QStringLiteral("한국어"), 3},
        {"Hangul from jamo", QStringLiteral("\u1112\u1161\u11AB"), 1},
        {"mixed", QStringLiteral("hi 👋🏻 안녕"), 7},
    };
    activate();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_client.records.clear();
        m_bridge.forward(entry(QStringLiteral("turn"), c.message));
        ASSERT_EQ(m_client.records.size(), 1);
        EXPECT_EQ(m_client.records.first().body, QStringLiteral("[turn] len=") + QString::number(c.length));
        EXPECT_EQ(m_client.records.first().attributes.value(QStringLiteral("len")).toLongLong(), c.length);
    }
}

TEST_F(RozeTelemetryTest, NeverSendsOtherCategories)
{
    activate();
    for (const char* category : {"stt", "audio", "camera", "rest", "speaking", "text", "FSM", "Turn", "error ", ""})
        m_bridge.forward(entry(QString::fromUtf8(category), QStringLiteral("whatever was said")));
    EXPECT_TRUE(m_client.records.isEmpty());
}

TEST_F(RozeTelemetryTest, SetsTheClientUpOnceWithCaptureOff)
{
    LogCapture log(QStringLiteral("app.parlivox.telemetry"));
    activate();
    activate();
    ASSERT_EQ(m_client.setups.size(), 1u);
    EXPECT_TRUE(m_bridge.isActive());
    const RozeConfig& config = m_client.setups.front();
    EXPECT_EQ(config.projectToken, RozeTelemetry::kProjectToken);
    EXPECT_EQ(config.host, kHost);
    EXPECT_FALSE(config.captureApplicationLifecycleEvents);
    EXPECT_FALSE(config.captureScreenViews);
    EXPECT_EQ(log.messages(),
              QStringList{QStringLiteral("Roze telemetry active (host=https://ingest.test, service=parlivox-mac)")});
}

TEST_F(RozeTelemetryTest, DisablingClosesOnlyAnActiveClientAndReenablingSetsItUpAfresh)
{
    m_bridge.setup(false, QStringLiteral("parlivox-mac"));
    EXPECT_EQ(m_client.closes, 0);
    EXPECT_TRUE(m_client.setups.empty());

    activate();
    m_bridge.setup(false, QStringLiteral("parlivox-mac"));
    m_bridge.setup(false, QStringLiteral("parlivox-mac"));
    EXPECT_EQ(m_client.closes, 1);
    EXPECT_FALSE(m_bridge.isActive());
    m_bridge.forward(entry(QStringLiteral("fsm"), QStringLiteral("after close")));

    activate();
    EXPECT_EQ(m_client.setups.size(), 2u);
    m_bridge.forward(entry(QStringLiteral("fsm"), QStringLiteral("resumed")));
    ASSERT_EQ(m_client.records.size(), 1);
    EXPECT_EQ(m_client.records.first().body, QStringLiteral("[fsm] resumed"));
}

TEST_F(RozeTelemetryTest, AnInactiveBridgeSendsNothingEvenWhenTheClientRuns)
{
    m_client.setup(RozeConfig(QStringLiteral("other"), kHost));  // set up by someone else
    m_bridge.forward(entry(QStringLiteral("fsm"), QStringLiteral("idle → listening")));
    EXPECT_TRUE(m_client.records.isEmpty());
}

TEST(RozeTelemetry, DropsEntriesWhileTheClientHasNoLogger)
{
    FakeRozeClient client(FakeRozeClient::Logger::neverCreated);
    RozeTelemetry bridge(client, kHost);
    bridge.setup(true, QStringLiteral("parlivox-mac"));
    EXPECT_TRUE(bridge.isActive());
    bridge.forward(entry(QStringLiteral("error"), QStringLiteral("boom")));
    EXPECT_TRUE(client.records.isEmpty());
}

TEST(RozeTelemetry, ReportsToAHostTheClientAccepts)
{
    const auto endpoint = RozeConfig(RozeTelemetry::kProjectToken, RozeTelemetry::kIngestionHost).logsEndpoint();
    ASSERT_TRUE(endpoint.has_value());
    EXPECT_EQ(endpoint->scheme(), QStringLiteral("https"));
}
