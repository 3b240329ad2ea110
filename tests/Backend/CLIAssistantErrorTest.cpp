#include "Backend/CLIAssistantError.h"

#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

const QString kUsageLimitText = QString::fromUtf8("LLM 사용량 한도에 도달했어요. 잠시 후 다시 시도하거나, 설정 → "
                                                  "비서에서 다른 제공자(Claude · Codex 등)로 바꿔 주세요.");

}  // namespace

TEST(CLIAssistantError, HumanizedDescriptions)
{
    const std::tuple<int, const char*, QString> cases[] = {
        {1, "Error: Rate Limit exceeded", kUsageLimitText},
        {1, "stderr: x\nstdout: {\"type\":\"error\",\"message\":\"You've hit your usage_limit\"}", kUsageLimitText},
        {2, "HTTP 429 Too Many Requests", kUsageLimitText},
        {1, "monthly QUOTA", kUsageLimitText},
        {1, R"({"type":"turn.failed","error":{"message":"model overloaded"}})", "CLI error (exit 1): model overloaded"},
        {1,
         "noise\n"
         R"({"type":"turn.failed","error":{"message":"{\"error\":{\"message\":\"inner\"}}"}})",
         "CLI error (exit 1): inner"},
        {3, R"({"type":"error","message":"{\"message\":\"plain inner\"}"})", "CLI error (exit 3): plain inner"},
        {1,
         "  "
         R"({"type":"error","message":"first"})"
         "\n"
         R"({"type":"error","message":"second"})",
         "CLI error (exit 1): first"},
        {1, R"({"type":"error","message":"The 'o3' model is not supported when using Codex with a ChatGPT account."})",
         "Selected model is not allowed with your Codex / ChatGPT subscription. Open Settings → Assistant → Model and "
         "pick `(use CLI default)`, `gpt-5`, or `gpt-5.5`. (Original: The 'o3' model is not supported when using Codex "
         "with a ChatGPT account.)"},
        {2, "segfault in module\nsecond line", "CLI exited with code 2. segfault in module\nsecond line"},
        {1, R"({"type":"error","message":7})", R"(CLI exited with code 1. {"type":"error","message":7})"},
        {-1, "(no output captured)", "CLI exited with code -1. (no output captured)"},
    };
    for (const auto& [code, detail, description] : cases)
        EXPECT_EQ(CLIAssistantError::processFailed(code, QString::fromUtf8(detail)).description(), description)
            << detail;
}
