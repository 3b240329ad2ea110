#include "Backend/CLIAssistantClient.h"
#include "Backend/AgentRun.h"
#include "Common/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using Tool = CLIAssistantClient::Tool;

TEST(CLIAssistantClient, ArgumentListsPerAgentWithTheModelOnlyWhenNotBlank)
{
    const QString p = "PROMPT";
    const std::tuple<Tool, const char*, QStringList> cases[] = {
        {Tool::codex, "", {"exec", "--skip-git-repo-check", "--json", p}},
        {Tool::codex, " gpt-5\n", {"exec", "--skip-git-repo-check", "--json", "--model", "gpt-5", p}},
        {Tool::claude, "", {"-p", p, "--output-format", "stream-json", "--verbose", "--include-partial-messages"}},
        {Tool::claude,
         "sonnet",
         {"-p", p, "--output-format", "stream-json", "--verbose", "--include-partial-messages", "--model", "sonnet"}},
        {Tool::gemini, " \n\t", {"-p", p}},
        {Tool::gemini, "gemini-2.5-pro", {"-p", p, "--model", "gemini-2.5-pro"}},
        {Tool::cursorAgent, "", {"--print", p}},
        {Tool::cursorAgent, "gpt-5", {"--print", p, "--model", "gpt-5"}},
        {Tool::kimi, "kimi-k2", {"-p", p, "--model", "kimi-k2"}},
        {Tool::opencode, "", {"run", p}},
        {Tool::opencode, "openai/gpt-5", {"run", p, "--model", "openai/gpt-5"}},
        {Tool::ostrel, "ostrel-1", {"-p", p, "--model", "ostrel-1"}},
    };
    for (const auto& [tool, model, expected] : cases)
        EXPECT_EQ(CLIAssistantClient::arguments(tool, p, model), expected) << rawValue(tool).toStdString() << model;
}

// With a history the prompt is checked through the argument list the agents receive.
TEST(CLIAssistantClient, PromptWithoutHistoryAndTheBuiltInSystemText)
{
    EXPECT_EQ(CLIAssistantClient::composePrompt("SYS ", "what now?", "ko-KR", {}),
              "SYS \n\nUser: what now?\nAssistant:");
    EXPECT_TRUE(CLIAssistantClient::composePrompt("", "x", "ko-KR", {})
                    .startsWith(QString::fromUtf8("당신은 음성 비서입니다.")));
    EXPECT_TRUE(CLIAssistantClient::composePrompt("", "x", "KO", {}).startsWith("You are a voice assistant."));
}

TEST(CLIAssistantClient, FindsTheFirstExecutableFileInSearchOrder)
{
    QTemporaryDir dir;
    const QString a = dir.filePath("a"), b = dir.filePath("b"), c = dir.filePath("c");
    for (const QString& d : {a, b, c})
        ASSERT_TRUE(QDir().mkpath(d));
    ASSERT_TRUE(QDir().mkpath(a + "/codex"));  // a directory of that name does not count
    QFile plain(b + "/codex");  // nor a file that is not executable
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    QFile tool(c + "/codex");
    ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
    tool.close();
    ASSERT_TRUE(tool.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
    EXPECT_EQ(CLIAssistantClient::findBinary("codex", {a, b, c}), c + "/codex");
    EXPECT_EQ(CLIAssistantClient::findBinary("codex", {a, b}), std::nullopt);
    EXPECT_EQ(CLIAssistantClient::findBinary("claude", {a, b, c}), std::nullopt);
}

TEST(CLIAssistantClient, DefaultSearchOrderAndTheChildsPath)
{
    const QString home = QDir::homePath();
    const QStringList expected = {"/opt/homebrew/bin",  "/usr/local/bin",          "/usr/bin",
                                  home + "/.local/bin", home + "/.npm-global/bin", home + "/.bun/bin",
                                  home + "/.cargo/bin", home + "/.codex/bin"};
    EXPECT_EQ(CLIAssistantClient::defaultSearchPaths(), expected);
    EXPECT_EQ(CLIAssistantClient::childPath({"/a", "/b"}, "/usr/bin:/bin"), "/a:/b:/usr/bin:/bin");
    // No empty entry, which would search the working directory.
    EXPECT_EQ(CLIAssistantClient::childPath({"/a", "/b"}, ""), "/a:/b");
    EXPECT_EQ(CLIAssistantClient::childPath({"/a"}, ":/usr/bin::/bin:"), "/a:/usr/bin:/bin");
}

TEST(AgentRun, VerdictFromStatusStandardErrorAndOutput)
{
    struct Case {
        const char* name;
        int status;
        QByteArray standardError;
        CLIAssistantClient::OutputMode mode;
        QString output;
        std::optional<QString> failure;
    };
    const auto plain = CLIAssistantClient::OutputMode::plainText;
    const auto codex = CLIAssistantClient::OutputMode::codexJsonl;
    const QList<Case> cases = {
        {"reply", 0, "", plain, "Hello", std::nullopt},
        {"reply with warnings", 0, "deprecated flag", plain, "Hello", std::nullopt},
        {"blank reply still counts", 0, "", plain, "\n", std::nullopt},
        {"silent", 0, "", plain, "", "CLI returned no output. (no output captured)"},
        {"stderr only", 0, " not logged in \n", codex, "", "CLI returned no output. not logged in"},
        {"no agent message", 0, "", codex, "hello\n",
         "CLI returned no output. exit 0 but no agent_message events. raw stdout: hello"},
        {"stderr not UTF-8 counts as empty", 0, "\xff\xfe", plain, "", "CLI returned no output. (no output captured)"},
        {"failure, output only", 2, "", plain, "partial\n", "CLI exited with code 2. partial"},
        {"failure, stderr only", 2, "bad flag", plain, "", "CLI exited with code 2. bad flag"},
        {"failure, both", 2, "bad flag", plain, "partial", "CLI exited with code 2. stderr: bad flag\nstdout: partial"},
        {"failure, nothing", 9, "", plain, "", "CLI exited with code 9. (no output captured)"},
        {"failure after a reply", 1, "", plain, "Hello", "CLI exited with code 1. Hello"},
    };
    for (const Case& c : cases) {
        OutputBuffer output(c.mode);
        output.feed(c.output);
        output.flush();
        const std::optional<CLIAssistantError> error = AgentRun::verdict(c.status, c.standardError, output);
        ASSERT_EQ(error.has_value(), c.failure.has_value()) << c.name;
        if (error) {
            EXPECT_EQ(error->description(), *c.failure) << c.name;
        }
    }
}
