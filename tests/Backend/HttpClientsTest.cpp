// The four HTTP backends against a local server: the exact request, the reply taken from
// the answer, and every way a turn can fail.
#include "Backend/LocalOpenAICompatClient.h"
#include "Backend/NVIDIANIMClient.h"
#include "Backend/OpenAIResponsesClient.h"
#include "Backend/OstrelHostedClient.h"
#include "Common/FakeScheduler.h"
#include "Common/LocalHttpServer.h"
#include "Common/LogCapture.h"
#include "Common/QtPrinters.h"
#include "ReplyCollector.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

#include <QFile>
#include <QTimer>

#include <array>
#include <iostream>
#include <atomic>
#include <thread>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

enum class Kind { hosted, local, openAI, nvidia };

const char* name(Kind kind)
{
    return std::array{"hosted", "local", "openAI", "nvidia"}[static_cast<std::size_t>(kind)];
}

std::unique_ptr<AssistantClient> makeClient(Kind kind, Scheduler& scheduler, const QUrl& host,
                                            const QString& key = QStringLiteral("key-1"))
{
    switch (kind) {
    case Kind::hosted:
        return std::make_unique<OstrelHostedClient>("DEV-1", scheduler, host);
    case Kind::local:
        return std::make_unique<LocalOpenAICompatClient>(host.toString(), "m1", key, scheduler);
    case Kind::openAI:
        return std::make_unique<OpenAIResponsesClient>(key, "gpt-5-mini", scheduler, host);
    case Kind::nvidia:
        return std::make_unique<NVIDIANIMClient>(key, "meta/llama", scheduler, host);
    }
    return {};
}

QByteArray chatReply(const QString& content)
{
    return QJsonDocument(
               QJsonObject{{"choices", QJsonArray{QJsonObject{{"message", QJsonObject{{"content", content}}}}}}})
        .toJson();
}

QByteArray replyBody(Kind kind, const QString& text)
{
    return kind == Kind::openAI ? QJsonDocument(QJsonObject{{"output_text", text}}).toJson() : chatReply(text);
}

QJsonArray chatMessages(const QString& system, const QString& user)
{
    return {QJsonObject{{"role", "system"}, {"content", system}}, QJsonObject{{"role", "user"}, {"content", user}}};
}

// A server on its own thread that answers 200 and then sends a chunked body without end, as
// fast as the client takes it, until the client goes.
class EndlessServer {
public:
    EndlessServer()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(m_listener, 1) != 0 ||
            ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~EndlessServer()
    {
        m_stop = true;
        ::shutdown(m_listener, SHUT_RDWR);
        if (m_thread.joinable())
            m_thread.join();
        ::close(m_listener);
    }
    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_port)); }
    qint64 sent() const { return m_sent; }

private:
    void serve()
    {
        const int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            return;
        char request[4096];
        [[maybe_unused]] const ssize_t got = ::recv(connection, request, sizeof request, 0);
        const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n"
                                "Transfer-Encoding: chunked\r\n\r\n";
        const QByteArray piece = QByteArray(64 * 1024, 'x');
        const QByteArray chunk = QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n";
        bool open = ::send(connection, head.constData(), size_t(head.size()), MSG_NOSIGNAL) == head.size();
        while (open && !m_stop) {
            const ssize_t written = ::send(connection, chunk.constData(), size_t(chunk.size()), MSG_NOSIGNAL);
            open = written > 0;
            if (open)
                m_sent += written;
        }
        ::close(connection);
    }

    int m_listener = -1;
    quint16 m_port = 0;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<qint64> m_sent{0};
};

// This process's resident memory in bytes.
qint64 residentBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
    return 0;
}

class HttpClients : public ::testing::Test {
protected:
    void answer(int status, const QByteArray& body)
    {
        server.setHandler([status, body](const LocalHttpServer::Request&) {
            LocalHttpServer::Reply reply;
            reply.status = status;
            reply.body = body;
            return reply;
        });
    }

    std::unique_ptr<ReplyCollector> run(const AssistantClient& client, const QString& systemPrompt = "SYS",
                                        const QString& locale = "ko-KR", const QList<ConversationTurn>& history = {})
    {
        auto collector = std::make_unique<ReplyCollector>(client.stream(systemPrompt, "hi there", locale, history));
        collector->waitUntilEnded();
        return collector;
    }

    QJsonObject lastBody() const { return QJsonDocument::fromJson(server.requests().last().body).object(); }

    FakeScheduler scheduler;
    LocalHttpServer server;
};

}  // namespace

TEST_F(HttpClients, SendOneExactPostAndYieldTheTrimmedReplyOnce)
{
    struct Case {
        Kind kind;
        QByteArray path;
        QMap<QByteArray, QByteArray> headers;
        QList<QByteArray> absentHeaders;
        QJsonObject body;
    };
    const QList<Case> cases = {
        {Kind::hosted,
         "/v1/chat/completions",
         {{"content-type", "application/json"}, {"x-device-id", "DEV-1"}, {"user-agent", "Parlivox/Linux"}},
         {"authorization"},
         {{"model", "ostrel-1"}, {"messages", chatMessages("SYS", "hi there")}, {"stream", false}}},
        {Kind::local,
         "/v1/chat/completions",
         {{"content-type", "application/json"}, {"user-agent", "Parlivox/Linux"}, {"authorization", "Bearer key-1"}},
         {"x-device-id"},
         {{"model", "m1"}, {"messages", chatMessages("SYS", "hi there")}, {"stream", false}}},
        {Kind::openAI,
         "/v1/responses",
         {{"content-type", "application/json"}, {"authorization", "Bearer key-1"}},
         {"x-device-id"},
         {{"model", "gpt-5-mini"}, {"input", "hi there"}, {"instructions", "SYS"}}},
        {Kind::nvidia,
         "/v1/chat/completions",
         {{"content-type", "application/json"}, {"authorization", "Bearer key-1"}},
         {"x-device-id"},
         {{"model", "meta/llama"}, {"messages", chatMessages("SYS", "hi there")}, {"stream", false}}},
    };
    // History is for the command-line agents only; it must not show in any request.
    const QList<ConversationTurn> history = {
        ConversationTurn::make(ConversationTurn::Role::user, "earlier question", QDateTime::currentDateTimeUtc()),
        ConversationTurn::make(ConversationTurn::Role::assistant, "earlier answer", QDateTime::currentDateTimeUtc()),
    };
    for (const Case& c : cases) {
        answer(200, replyBody(c.kind, "  ok, done \n"));
        const auto client = makeClient(c.kind, scheduler, server.url());
        const auto reply = run(*client, "SYS", "ko-KR", history);
        const LocalHttpServer::Request& request = server.requests().last();
        EXPECT_EQ(request.method, "POST") << name(c.kind);
        EXPECT_EQ(request.path, c.path) << name(c.kind);
        for (auto it = c.headers.begin(); it != c.headers.end(); ++it)
            EXPECT_EQ(request.headers.value(it.key()), it.value()) << name(c.kind) << " " << it.key().constData();
        for (const QByteArray& header : c.absentHeaders)
            EXPECT_FALSE(request.headers.contains(header)) << name(c.kind) << " " << header.constData();
        EXPECT_EQ(lastBody(), c.body) << name(c.kind) << " " << request.body.constData();
        EXPECT_EQ(reply->pieces, QStringList{"ok, done"}) << name(c.kind);
        EXPECT_EQ(reply->finishedCount, 1) << name(c.kind);
        EXPECT_TRUE(reply->failures.isEmpty()) << name(c.kind);
    }
    EXPECT_EQ(server.requests().size(), cases.size());
}

TEST_F(HttpClients, EmptySystemPromptSelectsTheBuiltInOneAndBlankIsSentAsIs)
{
    struct Case {
        Kind kind;
        QString systemPrompt;
        QString locale;
        QString expected;
    };
    const QString koreanLocalePrompt =
        "You are a concise Korean voice assistant. Answer naturally in Korean unless the user asks otherwise.";
    const QString generalLocalePrompt =
        "You are a concise voice assistant. Answer naturally in the user's language unless asked otherwise.";
    const QString koreanLanguagePrompt = QString::fromUtf8(
        "You are a concise voice assistant. The user speaks Korean.\nAlways answer in Korean \u2014 match the user's "
        "language even if they switch mid-conversation.\nKeep replies to 1\u20133 short sentences suitable for "
        "spoken text-to-speech. No markdown, no lists, no code blocks.");
    const QList<Case> cases = {
        {Kind::openAI, "", "ko-KR", koreanLocalePrompt},
        {Kind::openAI, "", "en-US", generalLocalePrompt},
        {Kind::nvidia, "", "ko-KR", koreanLocalePrompt},
        {Kind::nvidia, "", "KO-kr", generalLocalePrompt},
        {Kind::hosted, "", "ko-KR", koreanLanguagePrompt},
        {Kind::local, "", "ko-KR", koreanLanguagePrompt},
        {Kind::hosted, "   ", "ko-KR", "   "},
        {Kind::openAI, "   ", "ko-KR", "   "},
    };
    for (const Case& c : cases) {
        answer(200, replyBody(c.kind, "ok"));
        run(*makeClient(c.kind, scheduler, server.url()), c.systemPrompt, c.locale);
        const QJsonObject body = lastBody();
        const QString sent = c.kind == Kind::openAI
                                 ? body.value("instructions").toString()
                                 : body.value("messages").toArray().at(0).toObject().value("content").toString();
        EXPECT_EQ(sent, c.expected) << name(c.kind) << " " << c.locale.toStdString();
    }
}

TEST_F(HttpClients, NonSuccessStatusCarriesTheBodyOrTheCode)
{
    struct Case {
        Kind kind;
        int status;
        QByteArray body;
        QString failure;
    };
    const QString korean400 = QString(400, QChar(0xAC00));
    const QList<Case> cases = {
        {Kind::hosted, 503, "Service busy", "Assistant request failed: Service busy"},
        {Kind::hosted, 404, "\xff\xfe", "Assistant request failed: HTTP 404"},
        {Kind::hosted, 500, "", "Assistant request failed: HTTP 500"},
        {Kind::hosted, 502, " \n", "Assistant request failed: HTTP 502"},
        {Kind::openAI, 401, "{\"error\":\"bad key\"}", "Assistant request failed: bad key"},
        {Kind::openAI, 500, R"({"error":{"message":"The server had an error","type":"server_error"}})",
         "Assistant request failed: The server had an error"},
        {Kind::nvidia, 503, "\xc3\x28", "Assistant request failed: HTTP 503"},
        {Kind::local, 404, QString(1000, QChar(0xAC00)).toUtf8(),
         QString::fromUtf8("Assistant request failed: 모델 'm1'을(를) 서버에서 찾을 수 없습니다. "
                           "로드/풀(pull) 되어 있는지 확인해주세요. 응답: ") +
             korean400},
        {Kind::local, 500, "\xff\xfe",
         QString::fromUtf8("Assistant request failed: 로컬 LLM 응답 실패 (HTTP 500): HTTP 500")},
        {Kind::local, 502, "bad gateway",
         QString::fromUtf8("Assistant request failed: 로컬 LLM 응답 실패 (HTTP 502): bad gateway")},
        {Kind::local, 404, R"({"error":"model \"m1\" not found, try pulling it first"})",
         QString::fromUtf8(
             "Assistant request failed: 모델 'm1'을(를) 서버에서 찾을 수 없습니다. "
             "로드/풀(pull) 되어 있는지 확인해주세요. 응답: model \"m1\" not found, try pulling it first")},
    };
    for (const Case& c : cases) {
        answer(c.status, c.body);
        const auto reply = run(*makeClient(c.kind, scheduler, server.url()));
        EXPECT_TRUE(reply->pieces.isEmpty()) << name(c.kind) << " " << c.status;
        EXPECT_EQ(reply->finishedCount, 0) << name(c.kind) << " " << c.status;
        EXPECT_EQ(reply->failures, QStringList{c.failure}) << name(c.kind) << " " << c.status;
    }
}

TEST_F(HttpClients, ARedirectIsAFailedRequestAndIsNeverFollowed)
{
    struct Case {
        Kind kind;
        int status;
        QString failure;
    };
    const QList<Case> cases = {
        {Kind::hosted, 300, "Assistant request failed: moved"},
        {Kind::openAI, 301, "Assistant request failed: moved"},
        {Kind::nvidia, 302, "Assistant request failed: moved"},
        {Kind::hosted, 303, "Assistant request failed: moved"},
        {Kind::openAI, 307, "Assistant request failed: moved"},
        {Kind::local, 308, QString::fromUtf8("Assistant request failed: 로컬 LLM 응답 실패 (HTTP 308): moved")},
    };
    // The new place, on another host name, would answer: the key must not travel there.
    const QByteArray elsewhere = "http://localhost:" + QByteArray::number(server.port()) + "/moved";
    for (const Case& c : cases) {
        server.setHandler([&](const LocalHttpServer::Request& request) {
            LocalHttpServer::Reply reply;
            reply.body = replyBody(c.kind, "from elsewhere");
            if (!request.path.startsWith("/moved")) {
                reply.status = c.status;
                reply.body = "moved";
                reply.headers.append({"Location", elsewhere});
            }
            return reply;
        });
        const qsizetype before = server.requests().size();
        const auto reply = run(*makeClient(c.kind, scheduler, server.url()));
        EXPECT_EQ(reply->failures, QStringList{c.failure}) << name(c.kind) << " " << c.status;
        EXPECT_TRUE(reply->pieces.isEmpty()) << name(c.kind) << " " << c.status;
        EXPECT_EQ(server.requests().size(), before + 1) << name(c.kind) << " " << c.status;
    }
}

TEST_F(HttpClients, ChatRepliesWithoutTextAreEmptyAndWrongShapesAreDecodingErrors)
{
    const QString empty = "Assistant returned an empty response.";
    const QString malformed = "The data couldn't be read because it isn't in the correct format.";
    const std::pair<QByteArray, QString> cases[] = {
        {R"({"choices":[]})", empty},
        {R"({})", empty},
        {R"({"choices":null})", empty},
        {R"({"choices":[{"message":{"content":null}},{"message":{"content":"later"}}]})", empty},
        {R"({"choices":[{}]})", empty},
        {R"({"choices":[{"message":{"content":" \n "}}]})", empty},
        {R"({"choices":{}})", malformed},
        {R"({"choices":[{"message":{"content":5}}]})", malformed},
        {R"({"choices":[{"message":{"content":"ok"}}, 7]})", malformed},
        {R"([1,2])", malformed},
        {"not json", malformed},
    };
    for (const auto& [body, failure] : cases) {
        answer(200, body);
        const auto hosted = run(*makeClient(Kind::hosted, scheduler, server.url()));
        EXPECT_EQ(hosted->failures, QStringList{failure}) << body.constData();
        // The local client words every failure as a failed request, but an empty reply stays one.
        const auto local = run(*makeClient(Kind::local, scheduler, server.url()));
        const QString localFailure = failure == empty ? empty : "Assistant request failed: " + malformed;
        EXPECT_EQ(local->failures, QStringList{localFailure}) << body.constData();
    }
}

TEST_F(HttpClients, OpenAIReplyPrefersOutputTextAndReadsOnlyMessageText)
{
    const QString empty = "Assistant returned an empty response.";
    const QString malformed = "The data couldn't be read because it isn't in the correct format.";
    const std::pair<QByteArray, QString> cases[] = {
        {R"({"output_text":"  A  ","output":[{"type":"message","content":[{"type":"output_text","text":"B"}]}]})", "A"},
        {R"({"output_text":" ","output":[{"type":"message","content":[{"type":"output_text","text":"B"}]}]})", "B"},
        {R"({"output":[{"type":"message","content":[{"type":"output_text","text":"B"}]},
                       {"type":"message","content":[{"type":"output_text","text":"C"}]}]})",
         "B\nC"},
        // Reasoning models put a reasoning item first: no content, or reasoning text never to be spoken.
        {R"({"output":[{"type":"reasoning","id":"rs_1","summary":[]},
                       {"type":"message","role":"assistant","content":[{"type":"output_text","text":"Answer."}]}]})",
         "Answer."},
        {R"({"output":[{"type":"reasoning","content":[{"type":"reasoning_text","text":"thinking..."}]},
                       {"type":"message","content":[{"type":"output_text","text":"Answer."}]}]})",
         "Answer."},
        {R"({"output":[{"type":"message","content":[{"type":"output_text"},{"type":"output_text","text":"x"}]}]})",
         "x"},
        {R"({"output":[{"type":"message","content":[{"type":"output_text"}]}]})", empty},
        {R"({"output":[]})", empty},
        {R"({})", empty},
        {R"({"output":[{"type":"message","content":"x"}]})", malformed},
        {R"({"output_text":"A","output":[{"type":"message","content":[{"type":"output_text","text":3}]}]})", malformed},
        {R"({"output_text":5})", malformed},
        {R"({"output":{}})", malformed},
    };
    for (const auto& [body, expected] : cases) {
        answer(200, body);
        const auto reply = run(*makeClient(Kind::openAI, scheduler, server.url()));
        if (expected == empty || expected == malformed) {
            EXPECT_EQ(reply->failures, QStringList{expected}) << body.constData();
            EXPECT_TRUE(reply->pieces.isEmpty()) << body.constData();
        } else {
            EXPECT_EQ(reply->pieces, QStringList{expected}) << body.constData();
            EXPECT_EQ(reply->finishedCount, 1) << body.constData();
        }
    }
}

TEST_F(HttpClients, BlankKeyFailsBeforeAnythingIsSentNamingTheRightService)
{
    const std::tuple<Kind, QString, QString> cases[] = {
        {Kind::openAI, "", "OpenAI API key is missing."},
        {Kind::openAI, " \n\t", "OpenAI API key is missing."},
        {Kind::nvidia, "", "NVIDIA API key is missing."},
    };
    for (const auto& [kind, key, failure] : cases) {
        const auto reply = run(*makeClient(kind, scheduler, server.url(), key));
        EXPECT_EQ(reply->failures, QStringList{failure}) << name(kind);
    }
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(HttpClients, OwnTimerEndsASilentServerAtTheClientsTimeOut)
{
    const std::tuple<Kind, std::chrono::seconds, QString> cases[] = {
        {Kind::hosted, 30s, "Assistant request failed: The request timed out."},
        {Kind::openAI, 60s, "Assistant request failed: The request timed out."},
        {Kind::nvidia, 60s, "Assistant request failed: The request timed out."},
        {Kind::local, 120s, "Assistant request failed: The request timed out."},
    };
    server.setHandler([](const LocalHttpServer::Request&) {
        LocalHttpServer::Reply reply;
        reply.neverAnswer = true;
        return reply;
    });
    for (const auto& [kind, timeout, failure] : cases) {
        ReplyCollector reply(makeClient(kind, scheduler, server.url())->stream("SYS", "hi", "ko-KR", {}));
        ASSERT_TRUE(server.waitForRequests(server.requests().size() + 1)) << name(kind);
        scheduler.advance(timeout - 1ms);
        QCoreApplication::processEvents();
        EXPECT_FALSE(reply.ended()) << name(kind);
        scheduler.advance(1ms);
        ASSERT_TRUE(reply.waitUntilEnded()) << name(kind);
        EXPECT_EQ(reply.failures, QStringList{failure}) << name(kind);
    }
}

TEST_F(HttpClients, AnEndlessReplyStopsAtTheBoundWithAClearErrorAndMemoryStaysFlat)
{
    for (const Kind kind : {Kind::local, Kind::hosted}) {
        EndlessServer endless;
        ASSERT_NE(endless.url().port(), 0);
        const qint64 before = residentBytes();
        qint64 peak = before;
        QTimer sampler;
        QObject::connect(&sampler, &QTimer::timeout, [&] { peak = std::max(peak, residentBytes()); });
        sampler.start(5);
        // The fake clock never reaches the 120 s time-out: only the bound can end the request.
        ReplyCollector reply(makeClient(kind, scheduler, endless.url())->stream("SYS", "hi", "ko-KR", {}));
        ASSERT_TRUE(reply.waitUntilEnded(30000)) << name(kind) << ": still receiving after " << endless.sent()
                                                 << " bytes, " << (peak - before) / 1024 << " KiB more memory";
        sampler.stop();
        const QString expected = QStringLiteral("The reply was larger than 8 MiB; the request was stopped.");
        EXPECT_EQ(reply.failures, QStringList{QStringLiteral("Assistant request failed: ") + expected}) << name(kind);
        EXPECT_TRUE(reply.pieces.isEmpty());
        // The bound and what Qt reads ahead of it: nothing like what the server could send.
        // (AddressSanitizer keeps freed memory in quarantine, so its build may show more.)
#if defined(__SANITIZE_ADDRESS__)
        constexpr qint64 kMemoryBound = 192 * 1024 * 1024;
#else
        constexpr qint64 kMemoryBound = 32 * 1024 * 1024;
#endif
        EXPECT_LT(endless.sent(), 64 * 1024 * 1024) << name(kind) << ": Qt read ahead without limit";
        std::cout << name(kind) << ": stopped after " << endless.sent() / 1024 << " KiB sent; memory grew by at most "
                  << (peak - before) / 1024 << " KiB\n";
        EXPECT_LT(peak - before, kMemoryBound) << name(kind);
        EXPECT_GT(endless.sent(), HttpExchange::kMaxBodyBytes) << name(kind);
    }
}

TEST_F(HttpClients, ABodyAnnouncedLargerThanTheBoundIsRefusedBeforeItArrives)
{
    answer(200, QByteArray(HttpExchange::kMaxBodyBytes + 1, ' '));
    const auto reply = run(*makeClient(Kind::hosted, scheduler, server.url()));
    EXPECT_EQ(reply->failures,
              QStringList{"Assistant request failed: The reply was larger than 8 MiB; the request was stopped."});
    // Just within the bound is a reply like any other.
    answer(200, chatReply("ok").leftJustified(HttpExchange::kMaxBodyBytes, ' '));
    const auto within = run(*makeClient(Kind::hosted, scheduler, server.url()));
    EXPECT_EQ(within->failures, QStringList{});
    EXPECT_EQ(within->text(), "ok");
}

TEST_F(HttpClients, RepliesAreAskedUnencodedAndDamagedTextStillReadsWhileACompressedOneFailsAtOnce)
{
    const QString bomb = "The server sent a gzip-encoded reply, which was not asked for; the request was stopped.";
    const QString fffd(QChar(0xFFFD));
    // The reply's text as raw bytes, which need not be UTF-8.
    auto replyOf = [](Kind kind, const QByteArray& text) {
        const QByteArray body = kind == Kind::openAI ? "{\"output_text\":\"" + text + "\"}"
                                                     : "{\"choices\":[{\"message\":{\"content\":\"" + text + "\"}}]}";
        LocalHttpServer::Reply reply;
        reply.body = body;
        return reply;
    };
    // 256 MiB of spaces: it must fail on its headers, not on the (virtual) clock or on a
    // decoding of its inflated start.
    const LocalHttpServer::Reply compressed = LocalHttpServer::gzipBomb(qint64(256) << 20);
    struct Case {
        Kind kind;
        LocalHttpServer::Reply reply;
        QString text;  // the reply, or the failure
        bool damaged;
    };
    const Case cases[] = {
        {Kind::hosted, replyOf(Kind::hosted, "caf\xE9 ok"), "caf" + fffd + " ok", true},
        {Kind::local, replyOf(Kind::local, "a\xF0\x9F\x98 b\xFF"), "a" + fffd.repeated(3) + " b" + fffd, true},
        {Kind::openAI, replyOf(Kind::openAI, "\xED\xA0\x80 \xEC\x95\x88\xEB\x85\x95"),
         fffd + fffd + fffd + QString::fromUtf8(" 안녕"), true},
        {Kind::nvidia, replyOf(Kind::nvidia, "\xEC\x95\x88\xEB\x85\x95"), QString::fromUtf8("안녕"), false},
        {Kind::hosted, compressed, "Assistant request failed: " + bomb, false},
        {Kind::local, compressed, "Assistant request failed: " + bomb, false},
    };
    for (const Case& c : cases) {
        server.setHandler([&c](const LocalHttpServer::Request&) { return c.reply; });
        LogCapture log(QStringLiteral("app.parlivox.backend"));
        const auto reply = run(*makeClient(c.kind, scheduler, server.url()));
        EXPECT_EQ(c.text.endsWith(bomb) ? reply->failures : reply->pieces, QStringList{c.text})
            << name(c.kind) << " " << c.text.toStdString();
        EXPECT_EQ(server.requests().last().headers.value("accept-encoding"), "identity") << name(c.kind);
        EXPECT_EQ(log.messages().join('\n').contains("is not valid UTF-8"), c.damaged)
            << name(c.kind) << " " << c.text.toStdString();
    }
}

TEST_F(HttpClients, RefusedConnectionIsAFailedRequestWithTheLocalHint)
{
    const quint16 port = LocalHttpServer::unusedPort();
    const QUrl closed(QStringLiteral("http://127.0.0.1:%1").arg(port));
    const auto hosted = run(*makeClient(Kind::hosted, scheduler, closed));
    EXPECT_EQ(hosted->failures, QStringList{"Assistant request failed: Connection refused"});
    const auto local = run(*makeClient(Kind::local, scheduler, closed));
    EXPECT_EQ(local->failures,
              QStringList{QString::fromUtf8("Assistant request failed: 로컬 LLM 서버에 연결할 수 없습니다. "
                                            "로컬 LLM 서버가 127.0.0.1:%1 에서 응답하는지 확인해주세요.")
                              .arg(port)});
}

TEST_F(HttpClients, CancelAbortsTheRequestAndSilencesTheStream)
{
    QTcpServer raw;
    ASSERT_TRUE(raw.listen(QHostAddress::LocalHost, 0));
    ReplyCollector reply(
        makeClient(Kind::local, scheduler, QUrl(QStringLiteral("http://127.0.0.1:%1").arg(raw.serverPort())))
            ->stream("SYS", "hi", "ko-KR", {}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return raw.hasPendingConnections(); }, 5000));
    QTcpSocket* connection = raw.nextPendingConnection();
    bool closedByClient = false;
    QObject::connect(connection, &QTcpSocket::disconnected, [&] { closedByClient = true; });
    reply.stream()->cancel();
    // The server sees the connection go at once: a local model server stops working for nobody.
    EXPECT_TRUE(QTest::qWaitFor([&] { return closedByClient; }, 5000));
    scheduler.advance(200s);
    QCoreApplication::processEvents();
    EXPECT_FALSE(reply.ended());
    EXPECT_TRUE(reply.pieces.isEmpty());
}
