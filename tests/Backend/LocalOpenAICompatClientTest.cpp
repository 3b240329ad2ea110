#include "Backend/LocalOpenAICompatClient.h"
#include "Common/FakeScheduler.h"
#include "Common/QtPrinters.h"
#include "ReplyCollector.h"

#include <gtest/gtest.h>

TEST(LocalOpenAICompatClient, EndpointFromTheBaseUrlAsTypedAndNoneWithoutAWebHost)
{
    const std::pair<const char*, const char*> cases[] = {
        {"http://localhost:1234", "http://localhost:1234/v1/chat/completions"},
        {"http://localhost:1234/", "http://localhost:1234/v1/chat/completions"},
        {"  http://localhost:11434/v1/chat/completions \n", "http://localhost:11434/v1/chat/completions"},
        {"http://localhost:1234//", "http://localhost:1234//v1/chat/completions"},  // only one slash is dropped
        // The usual way OpenAI-compatible servers are written down already names the version.
        {"http://localhost:1234/v1", "http://localhost:1234/v1/chat/completions"},
        {"http://localhost:1234/v1/", "http://localhost:1234/v1/chat/completions"},
        {"https://llm.example.net/api/v1", "https://llm.example.net/api/v1/chat/completions"},
        {"http://192.168.1.20:8080/proxy", "http://192.168.1.20:8080/proxy/v1/chat/completions"},
        {"", nullptr},
        {"   \n", nullptr},
        {"localhost:1234", nullptr},
        {"file:///etc/passwd", nullptr},
        {"ftp://host/x", nullptr},
        {"http://", nullptr},
        {"http:///x", nullptr},
        {"http://exa mple.com", nullptr},
    };
    for (const auto& [base, endpoint] : cases) {
        const std::optional<QUrl> url = LocalOpenAICompatClient::endpoint(base);
        ASSERT_EQ(url.has_value(), endpoint != nullptr) << base;
        if (url) {
            EXPECT_EQ(url->toString(), endpoint) << base;
        }
    }
}

TEST(LocalOpenAICompatClient, InvalidBaseUrlFailsWithTheTrimmedTextAndSendsNothing)
{
    FakeScheduler scheduler;
    const std::pair<const char*, QString> cases[] = {
        {"   ", QString::fromUtf8("Assistant request failed: Local LLM base URL이 유효하지 않습니다: ")},
        {" localhost:1234 ",
         QString::fromUtf8("Assistant request failed: Local LLM base URL이 유효하지 않습니다: localhost:1234")},
    };
    for (const auto& [base, failure] : cases) {
        ReplyCollector reply(LocalOpenAICompatClient(base, "m", "", scheduler).stream("", "hi", "ko-KR", {}));
        ASSERT_TRUE(reply.waitUntilEnded()) << base;
        EXPECT_EQ(reply.failures, QStringList{failure}) << base;
    }
}

TEST(LocalOpenAICompatClient, ConnectionHintByPortNeverNamingPortZero)
{
    const QString prefix = QString::fromUtf8("로컬 LLM 서버에 연결할 수 없습니다. ");
    const std::pair<const char*, QString> cases[] = {
        {"http://localhost:11434/v1/chat/completions",
         QString::fromUtf8("Ollama 데몬이 실행 중인지 확인해주세요 (터미널에서 `ollama serve`).")},
        {"http://127.0.0.1:1234/v1/chat/completions",
         QString::fromUtf8("LM Studio가 켜져 있고 Developer 탭 → Start Server가 활성화되어 있는지 확인해주세요.")},
        {"http://gpu-box:8000/v1/chat/completions",
         QString::fromUtf8("로컬 LLM 서버가 gpu-box:8000 에서 응답하는지 확인해주세요.")},
        {"http://gpu-box/v1/chat/completions",
         QString::fromUtf8("로컬 LLM 서버가 gpu-box:80 에서 응답하는지 확인해주세요.")},
        {"https://gpu-box/v1/chat/completions",
         QString::fromUtf8("로컬 LLM 서버가 gpu-box:443 에서 응답하는지 확인해주세요.")},
    };
    for (const auto& [url, hint] : cases)
        EXPECT_EQ(LocalOpenAICompatClient::friendlyConnectionError(QUrl(url)), prefix + hint) << url;
}
