// The command-line agent runner against a fake agent script installed under each agent's
// name: what it is started with, what is read back, and how runs that will not end are ended.
#include "Backend/AgentProcess.h"
#include "Backend/CLIAssistantClient.h"
#include "Common/FakeScheduler.h"
#include "Common/QtPrinters.h"
#include "Common/TestEnvironment.h"
#include "ReplyCollector.h"
#include "Storage/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

using namespace std::chrono_literals;
using Tool = CLIAssistantClient::Tool;

namespace {

constexpr auto kAllTools = allCases<Tool>();
// The executables, in the order of the tools.
const char* const kExecutables[] = {"codex", "claude", "gemini", "cursor-agent", "kimi", "opencode", "ostrel"};

// Gone, or a zombie waiting for a reaper that is not us.
bool processGone(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2, 1) == "Z";
}

class CommandLineAgents : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppPaths::ensureAll();
        const QString script = QStringLiteral(QT_TESTCASE_SOURCEDIR "/Backend/agents/fake-agent.sh");
        for (const char* executable : kExecutables) {
            const QString target = bin.filePath(QString::fromLatin1(executable));
            ASSERT_TRUE(QFile::copy(script, target));
            ASSERT_TRUE(QFile::setPermissions(target, QFile::ReadOwner | QFile::ExeOwner));
        }
        qputenv("FAKE_DIR", QFile::encodeName(records.path()));
    }

    void TearDown() override
    {
        qunsetenv("FAKE_DIR");
        qunsetenv("FAKE_MODE");
    }

    std::unique_ptr<ReplyCollector> start(Tool tool, const char* mode, const QString& model = {},
                                          const QString& transcript = QStringLiteral("hi"),
                                          const QList<ConversationTurn>& history = {})
    {
        qputenv("FAKE_MODE", mode);
        const CLIAssistantClient client(tool, model, CLIAssistantClient::kDefaultTimeout, scheduler, {bin.path()});
        return std::make_unique<ReplyCollector>(client.stream("SYS", transcript, "en-US", history));
    }

    QString recorded(const char* name) const
    {
        QFile file(records.filePath(QString::fromLatin1(name)));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
    }

    QStringList recordedArguments() const
    {
        QFile file(records.filePath("argv"));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList arguments;
        for (const QByteArray& argument : file.readAll().split('\0'))
            arguments << QString::fromUtf8(argument);
        arguments.removeLast();  // after the final NUL
        return arguments;
    }

    ScopedDataRoot root;
    QTemporaryDir bin;
    QTemporaryDir records;
    FakeScheduler scheduler;
};

}  // namespace

TEST_F(CommandLineAgents, EachAgentGetsItsArgumentsDirectoryAndPathAndIsReadInItsFormat)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QList<ConversationTurn> history = {
        ConversationTurn::make(ConversationTurn::Role::user, QString::fromUtf8("지난 질문"), now),
        ConversationTurn::make(ConversationTurn::Role::assistant, "earlier answer", now),
    };
    const QString prompt = QString::fromUtf8("SYS\n\nConversation so far:\nUser: 지난 질문\nAssistant: earlier "
                                             "answer\n\nUser: what's \"up\"? $HOME\nAssistant:");
    const QString workDirectory = QFileInfo(AppPaths::work()).canonicalFilePath();
    const QString expectedPath = bin.path() + ":" + qEnvironmentVariable("PATH");
    for (Tool tool : kAllTools) {
        for (const QString& model : {QString(), QStringLiteral(" model-1 \n")}) {
            const std::string label = rawValue(tool).toStdString() + " model '" + model.toStdString() + "'";
            const auto reply = start(tool, "hello", model, "what's \"up\"? $HOME", history);
            ASSERT_TRUE(reply->waitUntilEnded()) << label;
            EXPECT_EQ(reply->text(), "Hello.") << label;
            EXPECT_EQ(reply->finishedCount, 1) << label;
            EXPECT_EQ(recordedArguments(),
                      QStringList{bin.filePath(rawValue(tool))} + CLIAssistantClient::arguments(tool, prompt, model))
                << label;
            EXPECT_EQ(recordedArguments().contains("--model"), !model.isEmpty()) << label;
            EXPECT_EQ(recorded("cwd"), workDirectory) << label;
            EXPECT_EQ(recorded("path"), expectedPath) << label;
        }
    }
}

TEST_F(CommandLineAgents, ReplyPiecesArriveWhileTheAgentStillRuns)
{
    const auto reply = start(Tool::gemini, "stream-wait");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !reply->pieces.isEmpty(); }, 10000));
    EXPECT_EQ(reply->pieces, QStringList{"first "});
    EXPECT_FALSE(reply->ended());
    QFile go(records.filePath("go"));
    ASSERT_TRUE(go.open(QIODevice::WriteOnly));
    go.close();
    ASSERT_TRUE(reply->waitUntilEnded());
    EXPECT_EQ(reply->text(), "first second");
    EXPECT_EQ(reply->finishedCount, 1);
}

TEST_F(CommandLineAgents, OutputFormatsGivePiecesInOrder)
{
    const std::tuple<Tool, const char*, QStringList> cases[] = {
        {Tool::claude, "claude-deltas", {QString::fromUtf8("안녕"), QString::fromUtf8("하세요.")}},
        {Tool::claude, "claude-result", {"Only result."}},
        {Tool::codex, "codex-two", {"A.", "B."}},
        {Tool::kimi, "split-utf8", {QString::fromUtf8("가\n")}},
        {Tool::opencode, "big-stderr", {"ok\n"}},  // standard error is drained while the agent runs
        {Tool::ostrel, "stdin", {"stdin at end\n"}},
    };
    for (const auto& [tool, mode, pieces] : cases) {
        const auto reply = start(tool, mode);
        ASSERT_TRUE(reply->waitUntilEnded()) << mode;
        EXPECT_EQ(reply->pieces, pieces) << mode;
        EXPECT_EQ(reply->finishedCount, 1) << mode;
        EXPECT_TRUE(reply->failures.isEmpty()) << mode;
    }
}

TEST_F(CommandLineAgents, FailedRunsAreExplained)
{
    const std::tuple<Tool, const char*, QString> cases[] = {
        {Tool::gemini, "rate-limit",
         QString::fromUtf8("LLM 사용량 한도에 도달했어요. 잠시 후 다시 시도하거나, 설정 → 비서에서 다른 "
                           "제공자(Claude · Codex 등)로 바꿔 주세요.")},
        {Tool::codex, "turn-failed", "CLI error (exit 1): inner"},
        {Tool::cursorAgent, "exit-two", "CLI exited with code 2. stderr: bad flag\nstdout: partial"},
        {Tool::codex, "codex-chatter", "CLI returned no output. exit 0 but no agent_message events. raw stdout: hello"},
        {Tool::claude, "silent", "CLI returned no output. (no output captured)"},
    };
    for (const auto& [tool, mode, failure] : cases) {
        const auto reply = start(tool, mode);
        ASSERT_TRUE(reply->waitUntilEnded()) << mode;
        EXPECT_EQ(reply->failures, QStringList{failure}) << mode;
        EXPECT_EQ(reply->finishedCount, 0) << mode;
    }
}

TEST_F(CommandLineAgents, NothingIsLaunchedWithoutTheExecutableOrWithAnOversizePrompt)
{
    QTemporaryDir empty;
    const CLIAssistantClient missing(Tool::kimi, {}, CLIAssistantClient::kDefaultTimeout, scheduler, {empty.path()});
    ReplyCollector notFound(missing.stream("", "hi", "ko-KR", {}));
    ASSERT_TRUE(notFound.waitUntilEnded());
    EXPECT_EQ(notFound.failures,
              QStringList{"CLI binary 'kimi' was not found in PATH. Install it and authenticate via `kimi login`."});

    // "SYS\n\nUser: " + transcript + "\nAssistant:" is 22 bytes besides the transcript.
    const auto fits = start(Tool::gemini, "hello", {}, QString(CLIAssistantClient::kMaxArgumentBytes - 23, 'a'));
    ASSERT_TRUE(fits->waitUntilEnded());
    EXPECT_EQ(fits->finishedCount, 1);
    QFile::remove(records.filePath("argv"));
    const auto tooLong = start(Tool::gemini, "hello", {}, QString(CLIAssistantClient::kMaxArgumentBytes - 22, 'a'));
    ASSERT_TRUE(tooLong->waitUntilEnded());
    EXPECT_EQ(tooLong->failures,
              QStringList{"The prompt is too long to pass to the CLI (131072 bytes; one argument may hold at most "
                          "131071). Clear the conversation history or shorten the memory notes."});
    EXPECT_FALSE(QFile::exists(records.filePath("argv")));
}

TEST_F(CommandLineAgents, ALaunchTheSystemRefusesEndsWithItsError)
{
    QFile broken(bin.filePath("gemini"));
    ASSERT_TRUE(broken.remove());
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("#!/nonexistent/interpreter\n");
    broken.close();
    ASSERT_TRUE(broken.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
    const auto reply = start(Tool::gemini, "hello");
    ASSERT_TRUE(reply->waitUntilEnded());
    ASSERT_EQ(reply->failures.size(), 1);
    EXPECT_TRUE(reply->failures.first().contains("No such file or directory")) << reply->failures.first().toStdString();
    EXPECT_TRUE(reply->pieces.isEmpty());
}

TEST_F(CommandLineAgents, TimeOutTerminatesTheGroupAndKillsWhatIgnoresIt)
{
    // The status says which signal ended the run: 15 when termination sufficed, 9 after the grace.
    const std::tuple<const char*, QString, int> cases[] = {
        {"hang", "started\n", 15},
        {"ignore-term", "partial\n", 9},
        {"helper-ignores-term", "started\n", 15},
    };
    for (const auto& [mode, firstPiece, status] : cases) {
        const auto reply = start(Tool::gemini, mode);
        ASSERT_TRUE(QTest::qWaitFor([&, expected = firstPiece] { return reply->text() == expected; }, 10000)) << mode;
        scheduler.advance(CLIAssistantClient::kDefaultTimeout);
        if (status == 9) {
            QTest::qWait(50);  // termination was asked for and is being ignored
            EXPECT_FALSE(reply->ended()) << mode;
            scheduler.advance(AgentProcess::kKillGrace);
        }
        ASSERT_TRUE(reply->waitUntilEnded()) << mode;
        EXPECT_EQ(reply->failures,
                  QStringList{QStringLiteral("CLI exited with code %1. %2").arg(status).arg(firstPiece.trimmed())})
            << mode;
        const qint64 grandchild = recorded("grandchild").toLongLong();
        if (grandchild > 0) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return processGone(grandchild); }, 5000)) << mode;
        }
        QFile::remove(records.filePath("grandchild"));
    }
}

TEST_F(CommandLineAgents, AHelperHoldingTheOutputDoesNotHoldTheRun)
{
    const auto reply = start(Tool::gemini, "grandchild");
    ASSERT_TRUE(reply->waitUntilEnded());
    EXPECT_EQ(reply->text(), "hi\n");
    EXPECT_EQ(reply->finishedCount, 1);
    const qint64 helper = recorded("grandchild").toLongLong();
    EXPECT_FALSE(processGone(helper));  // still there, yet the turn is over
    ::kill(static_cast<pid_t>(helper), SIGKILL);
}

TEST_F(CommandLineAgents, CancellingTheTurnEndsTheAgent)
{
    for (const char* mode : {"hang", "ignore-term"}) {
        const auto reply = start(Tool::cursorAgent, mode);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !reply->pieces.isEmpty(); }, 10000)) << mode;
        const qint64 pid = recorded("pid").toLongLong();
        reply->stream()->cancel();
        scheduler.advance(AgentProcess::kKillGrace);
        EXPECT_TRUE(QTest::qWaitFor([&] { return processGone(pid); }, 10000)) << mode;
        EXPECT_FALSE(reply->ended()) << mode;
        QFile::remove(records.filePath("pid"));
    }
}

TEST_F(CommandLineAgents, DroppingTheStreamKillsAndReapsTheAgentAtOnce)
{
    const auto reply = start(Tool::kimi, "ignore-term");
    ASSERT_TRUE(QTest::qWaitFor([&] { return reply->text() == "partial\n"; }, 10000));
    const qint64 pid = recorded("pid").toLongLong();
    reply->release();
    EXPECT_FALSE(QFile::exists(QStringLiteral("/proc/%1").arg(pid)));  // not even a zombie
}

TEST(AgentProcess, StoppingAChildThatIsStillStartingEndsIt)
{
    FakeScheduler scheduler;
    AgentProcess process(scheduler);
    bool ended = false;
    QObject::connect(&process, &AgentProcess::exited, [&] { ended = true; });
    QObject::connect(&process, &AgentProcess::failedToStart, [&] { ended = true; });
    process.start({"/bin/sh", {"-c", "sleep 30"}, QDir::tempPath(), QProcessEnvironment::systemEnvironment()}, 60s);
    process.stop();  // before the event loop has seen the child start
    scheduler.advance(AgentProcess::kKillGrace);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ended; }, 10000));
}
