#include "Analytics/RozeRedOZA.h"
#include "Analytics/RozeConfig.h"
#include "Analytics/RozeLogUploader.h"
#include "Analytics/RozeLogger.h"
#include "Common/QtPrinters.h"

#include "Common/FakeScheduler.h"
#include "Common/LocalHttpServer.h"
#include "Common/LogCapture.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

const QString kToken = QStringLiteral("rzc_test_token");

QJsonArray logRecordsOf(const LocalHttpServer::Request& request)
{
    const QJsonDocument document = QJsonDocument::fromJson(request.decodedBody());
    return document[QStringLiteral("resourceLogs")][0][QStringLiteral("scopeLogs")][0][QStringLiteral("logRecords")]
        .toArray();
}

QStringList bodiesOf(const LocalHttpServer::Request& request)
{
    QStringList bodies;
    for (const auto& record : logRecordsOf(request))
        bodies.append(record[QStringLiteral("body")][QStringLiteral("stringValue")].toString());
    return bodies;
}

QJsonObject attribute(const QJsonValue& record, const QString& key)
{
    for (const auto& attribute : record[QStringLiteral("attributes")].toArray())
        if (attribute[QStringLiteral("key")].toString() == key)
            return attribute[QStringLiteral("value")].toObject();
    return {};
}

LocalHttpServer::Reply status(int code)
{
    LocalHttpServer::Reply reply;
    reply.status = code;
    return reply;
}

class RozeRedOZATest : public ::testing::Test {
protected:
    RozeConfig config() const
    {
        RozeConfig config(kToken, m_server.url().toString());
        config.storageDirectory = queueDirectory();
        config.flushAt = 3;
        config.flushInterval = 1h;  // only the tests that want the timer reach it
        config.requestTimeout = 1h;
        return config;
    }
    QString queueDirectory() const { return m_dir.path() + QStringLiteral("/roze/logs"); }
    qsizetype queuedFiles() const
    {
        return QDir(queueDirectory()).entryList({QStringLiteral("*.json")}, QDir::Files).size();
    }

    // Lets the worker and the network catch up while virtual time moves on in small steps.
    bool advanceUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 10min)
    {
        for (auto passed = 0ms; passed <= limit; passed += 100ms) {
            if (QTest::qWaitFor(done, 20))
                return true;
            m_scheduler.advance(100ms);
        }
        return done();
    }
    bool waitForQueuedFiles(qsizetype count)
    {
        return QTest::qWaitFor([&] { return queuedFiles() == count; }, 5000);
    }
    // No sender is left by then, so a short look is enough to see that nothing arrives.
    void settle() { QTest::qWait(150); }
    // Once the uploader has taken `count` failed answers, and so started each one's pause.
    bool waitForFailures(int count)
    {
        return QTest::qWaitFor(
            [&] {
                return m_log.messages().filter(QStringLiteral("log upload failed, kept for a retry")).size() == count;
            },
            5000);
    }
    void addRecords(RozeRedOZA& client, int count)
    {
        for (int n = 0; n < count; ++n)
            client.logger()->info(QStringLiteral("record"));
    }

    QTemporaryDir m_dir;
    LocalHttpServer m_server;
    FakeScheduler m_scheduler;
    LogCapture m_log{QStringLiteral("app.parlivox.analytics")};
};

}  // namespace

TEST_F(RozeRedOZATest, HasALoggerOnlyBetweenAnAcceptedSetupAndClose)
{
    RozeRedOZA client(m_scheduler);
    RozeConfig refused = config();
    refused.host = QStringLiteral("http://ingest.example");  // the token would travel in clear text
    client.setup(refused);
    EXPECT_EQ(client.logger(), nullptr);
    client.setup(config());
    EXPECT_NE(client.logger(), nullptr);
    client.close();
    EXPECT_EQ(client.logger(), nullptr);
    client.close();  // closing twice is harmless
}

TEST_F(RozeRedOZATest, UploadsABatchAsGzippedOtlpJsonWithTheToken)
{
    RozeRedOZA client(m_scheduler);
    client.setup(config());
    const QVariantMap attributes{{QStringLiteral("category"), QStringLiteral("fsm")},
                                 {QStringLiteral("ts"), 1767600000.25},
                                 {QStringLiteral("len"), 12}};
    client.logger()->info(QStringLiteral("[fsm] idle → listening"), attributes);
    client.logger()->warn(QStringLiteral("[fsm] start failed"), attributes);
    client.logger()->error(QStringLiteral("[error] len=5"), attributes);  // the third record starts the upload
    ASSERT_TRUE(m_server.waitForRequests(1));

    const LocalHttpServer::Request& request = m_server.requests().first();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "/i/v1/logs");
    EXPECT_EQ(request.headers.value("content-type"), "application/json");
    EXPECT_EQ(request.headers.value("content-encoding"), "gzip");
    EXPECT_EQ(request.headers.value("authorization"), "Bearer " + kToken.toUtf8());

    const QJsonArray records = logRecordsOf(request);
    ASSERT_EQ(records.size(), 3);
    const struct {
        int number;
        const char* text;
    } severities[] = {{9, "INFO"}, {13, "WARN"}, {17, "ERROR"}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(records[i][QStringLiteral("severityNumber")].toInt(), severities[i].number);
        EXPECT_EQ(records[i][QStringLiteral("severityText")].toString(), QString::fromUtf8(severities[i].text));
        EXPECT_EQ(attribute(records[i], QStringLiteral("category")),
                  (QJsonObject{{QStringLiteral("stringValue"), QStringLiteral("fsm")}}));
        EXPECT_EQ(attribute(records[i], QStringLiteral("ts")),
                  (QJsonObject{{QStringLiteral("doubleValue"), 1767600000.25}}));
        EXPECT_EQ(attribute(records[i], QStringLiteral("len")),
                  (QJsonObject{{QStringLiteral("intValue"), QStringLiteral("12")}}));
        EXPECT_EQ(records[i][QStringLiteral("timeUnixNano")].toString(),
                  QString::number(m_scheduler.wallNow().toMSecsSinceEpoch() * 1'000'000));
    }
    EXPECT_EQ(bodiesOf(request), (QStringList{QStringLiteral("[fsm] idle → listening"),
                                              QStringLiteral("[fsm] start failed"), QStringLiteral("[error] len=5")}));
    EXPECT_TRUE(waitForQueuedFiles(0));  // delivered records leave the disk
}

TEST_F(RozeRedOZATest, SplitsALongQueueIntoBatchesInOrder)
{
    RozeConfig small = config();
    small.flushAt = 5;
    small.maxBatchSize = 2;
    RozeRedOZA client(m_scheduler);
    client.setup(small);
    for (int n = 1; n <= 5; ++n)
        client.logger()->debug(QString::number(n));
    ASSERT_TRUE(m_server.waitForRequests(3));
    EXPECT_EQ(bodiesOf(m_server.requests()[0]), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
    EXPECT_EQ(bodiesOf(m_server.requests()[1]), (QStringList{QStringLiteral("3"), QStringLiteral("4")}));
    EXPECT_EQ(bodiesOf(m_server.requests()[2]), (QStringList{QStringLiteral("5")}));
    EXPECT_TRUE(waitForQueuedFiles(0));
}

TEST_F(RozeRedOZATest, FewRecordsWaitForTheFlushInterval)
{
    RozeConfig timed = config();
    timed.flushInterval = 30s;
    RozeRedOZA client(m_scheduler);
    client.setup(timed);
    client.logger()->info(QStringLiteral("alone"));
    ASSERT_TRUE(waitForQueuedFiles(1));
    EXPECT_EQ(m_server.requests().size(), 0);
    m_scheduler.advance(30s);
    ASSERT_TRUE(m_server.waitForRequests(1));
    EXPECT_EQ(bodiesOf(m_server.requests()[0]), QStringList{QStringLiteral("alone")});
}

TEST_F(RozeRedOZATest, KeepsRecordsWhileTheServiceFailsAndSendsThemWhenItIsBack)
{
    int answers = 0;
    m_server.setHandler([&](const LocalHttpServer::Request&) { return status(++answers <= 2 ? 503 : 200); });
    RozeRedOZA client(m_scheduler);
    client.setup(config());
    for (int n = 0; n < 3; ++n)
        client.logger()->info(QStringLiteral("kept"));
    ASSERT_TRUE(m_server.waitForRequests(1));
    const auto firstAt = m_scheduler.elapsed();

    ASSERT_TRUE(advanceUntil([&] { return m_server.requests().size() == 2; }));
    const auto secondAt = m_scheduler.elapsed();
    EXPECT_EQ(queuedFiles(), 3);
    ASSERT_TRUE(advanceUntil([&] { return m_server.requests().size() == 3; }));
    const auto thirdAt = m_scheduler.elapsed();

    // The pause is at least half the back-off (the rest is jitter), and it grows.
    EXPECT_GE(secondAt - firstAt, 500ms);
    EXPECT_GE(thirdAt - secondAt, 1000ms);
    EXPECT_EQ(logRecordsOf(m_server.requests()[2]).size(), 3);
    EXPECT_TRUE(waitForQueuedFiles(0));
    settle();
    EXPECT_EQ(m_server.requests().size(), 3);  // delivered once, no duplicates
}

TEST_F(RozeRedOZATest, SuccessDeletesTheBatchWhileOverloadAndServerErrorsKeepItForARetry)
{
    const struct {
        int status;
        bool kept;
    } answers[] = {{200, false}, {202, false}, {204, false}, {299, false}, {408, true},
                   {429, true},  {500, true},  {503, true},  {599, true}};
    for (const auto& answer : answers) {
        SCOPED_TRACE(answer.status);
        qsizetype answered = 0;
        m_server.setHandler(
            [&](const LocalHttpServer::Request&) { return status(++answered == 1 ? answer.status : 200); });
        m_log.clear();
        RozeRedOZA client(m_scheduler);
        client.setup(config());
        addRecords(client, 3);
        ASSERT_TRUE(QTest::qWaitFor([&] { return answered == 1; }, 5000));
        const auto firstAt = m_scheduler.elapsed();
        if (!answer.kept) {
            EXPECT_TRUE(waitForQueuedFiles(0));
            m_scheduler.advance(10min);
            settle();
            EXPECT_EQ(answered, 1);
            continue;
        }
        ASSERT_TRUE(waitForFailures(1));
        EXPECT_EQ(queuedFiles(), 3);
        ASSERT_TRUE(advanceUntil([&] { return answered == 2; }));
        EXPECT_GE(m_scheduler.elapsed() - firstAt, 500ms);  // at least half the first pause
        EXPECT_EQ(logRecordsOf(m_server.requests().last()).size(), 3);
        EXPECT_TRUE(waitForQueuedFiles(0));
    }
}

TEST_F(RozeRedOZATest, AFlushDuringTheRetryPauseWaitsForIt)
{
    int answers = 0;
    m_server.setHandler([&](const LocalHttpServer::Request&) { return status(++answers == 1 ? 503 : 200); });
    RozeRedOZA client(m_scheduler);
    client.setup(config());
    addRecords(client, 3);
    ASSERT_TRUE(waitForFailures(1));
    const auto failedAt = m_scheduler.elapsed();
    addRecords(client, 3);  // enough for an upload of their own
    settle();
    EXPECT_EQ(m_server.requests().size(), 1);
    ASSERT_TRUE(advanceUntil([&] { return m_server.requests().size() == 2; }));
    EXPECT_GE(m_scheduler.elapsed() - failedAt, 500ms);
    EXPECT_EQ(logRecordsOf(m_server.requests()[1]).size(), 6);
}

TEST_F(RozeRedOZATest, TheRetryPauseStartsOverAfterASuccess)
{
    int answers = 0;
    m_server.setHandler([&](const LocalHttpServer::Request&) {
        ++answers;
        return status(answers == 3 || answers == 5 ? 200 : 503);
    });
    RozeRedOZA client(m_scheduler);
    client.setup(config());
    addRecords(client, 3);
    ASSERT_TRUE(advanceUntil([&] { return answers == 3; }));  // two failures, then delivered
    ASSERT_TRUE(waitForQueuedFiles(0));
    addRecords(client, 3);
    ASSERT_TRUE(waitForFailures(3));
    // A first failure again: its pause is at most 1 s, where a third in a row would take 2 s or more.
    m_scheduler.advance(1s);
    EXPECT_TRUE(m_server.waitForRequests(5));
}

TEST_F(RozeRedOZATest, AnUnansweredRequestTimesOutAndIsRetried)
{
    int answers = 0;
    m_server.setHandler([&](const LocalHttpServer::Request&) {
        LocalHttpServer::Reply reply;
        reply.neverAnswer = ++answers == 1;
        return reply;
    });
    RozeConfig impatient = config();
    impatient.requestTimeout = 15s;
    RozeRedOZA client(m_scheduler);
    client.setup(impatient);
    for (int n = 0; n < 3; ++n)
        client.logger()->info(QStringLiteral("late"));
    ASSERT_TRUE(m_server.waitForRequests(1));
    m_scheduler.advance(15s);
    ASSERT_TRUE(advanceUntil([&] { return m_server.requests().size() == 2; }));
    EXPECT_EQ(logRecordsOf(m_server.requests()[1]).size(), 3);
    EXPECT_TRUE(waitForQueuedFiles(0));
}

TEST_F(RozeRedOZATest, ABatchTheServiceRefusesIsDroppedAndTheNextOneSent)
{
    int answers = 0;
    m_server.setHandler([&](const LocalHttpServer::Request&) { return status(++answers == 1 ? 400 : 200); });
    RozeConfig single = config();
    single.maxBatchSize = 1;
    single.flushAt = 2;
    RozeRedOZA client(m_scheduler);
    client.setup(single);
    client.logger()->info(QStringLiteral("refused"));
    client.logger()->info(QStringLiteral("accepted"));
    ASSERT_TRUE(m_server.waitForRequests(2));
    EXPECT_EQ(bodiesOf(m_server.requests()[0]), QStringList{QStringLiteral("refused")});
    EXPECT_EQ(bodiesOf(m_server.requests()[1]), QStringList{QStringLiteral("accepted")});
    EXPECT_TRUE(waitForQueuedFiles(0));
}

TEST_F(RozeRedOZATest, RecordsSurviveARestartAndNothingIsSentAfterClose)
{
    {
        RozeRedOZA client(m_scheduler);
        client.setup(config());
        client.logger()->info(QStringLiteral("before close 1"));
        client.logger()->warn(QStringLiteral("before close 2"));
        client.close();
        EXPECT_EQ(queuedFiles(), 2);  // written before close returned
        m_scheduler.advance(2h);
        settle();
        EXPECT_EQ(m_server.requests().size(), 0);
    }
    RozeRedOZA restarted(m_scheduler);
    restarted.setup(config());
    ASSERT_TRUE(m_server.waitForRequests(1));  // left-overs go out at start
    EXPECT_EQ(bodiesOf(m_server.requests()[0]),
              (QStringList{QStringLiteral("before close 1"), QStringLiteral("before close 2")}));
    EXPECT_TRUE(waitForQueuedFiles(0));
}

TEST_F(RozeRedOZATest, CloseAbandonsTheRequestInFlightAndKeepsItsRecords)
{
    m_server.setHandler([](const LocalHttpServer::Request&) {
        LocalHttpServer::Reply reply;
        reply.neverAnswer = true;
        return reply;
    });
    RozeRedOZA client(m_scheduler);
    client.setup(config());
    for (int n = 0; n < 3; ++n)
        client.logger()->info(QStringLiteral("in flight"));
    ASSERT_TRUE(m_server.waitForRequests(1));
    client.close();
    EXPECT_EQ(queuedFiles(), 3);
    m_scheduler.advance(2h);
    settle();
    EXPECT_EQ(m_server.requests().size(), 1);
}

TEST_F(RozeRedOZATest, ASecondSetupWhileRunningIsIgnored)
{
    LocalHttpServer other;
    RozeRedOZA client(m_scheduler);
    client.setup(config());
    RozeLogger* const logger = client.logger();
    RozeConfig elsewhere = config();
    elsewhere.host = other.url().toString();
    client.setup(elsewhere);
    EXPECT_EQ(client.logger(), logger);
    for (int n = 0; n < 3; ++n)
        client.logger()->info(QStringLiteral("first"));
    ASSERT_TRUE(m_server.waitForRequests(1));
    EXPECT_EQ(other.requests().size(), 0);
}

TEST(RozeLogUploader, RetryDelayDoublesUpToItsCeiling)
{
    const RozeConfig config(QStringLiteral("t"), QStringLiteral("https://ingest.example"));
    const struct {
        int failures;
        std::chrono::milliseconds delay;
    } cases[] = {{1, 1s}, {2, 2s}, {3, 4s}, {9, 256s}, {10, 300s}, {11, 300s}, {1000, 300s}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failures);
        EXPECT_EQ(RozeLogUploader::retryDelay(config, c.failures), c.delay);
    }
}
