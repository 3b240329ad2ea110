// An HTTP backend's answer, any status and any body: each client ends the turn with a trimmed,
// non-empty reply or with a failure that says what went wrong, and the chat-completions clients
// agree on what a body says.
#include "Backend/LocalOpenAICompatClient.h"
#include "Backend/NVIDIANIMClient.h"
#include "Backend/OpenAIResponsesClient.h"
#include "Backend/OstrelHostedClient.h"
#include "Common/FakeScheduler.h"
#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "Support/Text.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cstdint>

namespace {

struct Clients {
    FakeScheduler scheduler;
    QUrl host{QStringLiteral("http://127.0.0.1:9/")};
    OstrelHostedClient hosted{QStringLiteral("DEV"), scheduler, host};
    NVIDIANIMClient nvidia{QStringLiteral("key"), QStringLiteral("m"), scheduler, host};
    LocalOpenAICompatClient local{host.toString(), QStringLiteral("m"), QString(), scheduler};
    OpenAIResponsesClient openAI{QStringLiteral("key"), QStringLiteral("m"), scheduler, host};
};

HttpAssistantClient::Verdict judged(const HttpAssistantClient& client, const HttpExchange::Outcome& outcome)
{
    const HttpAssistantClient::Verdict verdict = client.judge(outcome, QUrl(QStringLiteral("http://127.0.0.1:9/")));
    if (verdict.succeeded) {
        fuzzCheck(!verdict.text.isEmpty() && verdict.text == Text::trimmed(verdict.text), "a reply is trimmed text");
        fuzzCheck(outcome.status >= 200 && outcome.status <= 299, "only a 2xx status gives a reply");
    } else {
        fuzzCheck(!Text::trimmed(verdict.text).isEmpty(), "a failed turn says why");
    }
    return verdict;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Clients clients;
    FuzzInput input(data, size);
    const std::uint8_t statusByte = input.takeByte();
    HttpExchange::Outcome outcome;
    outcome.status = statusByte < 192 ? 200 : 100 + (statusByte - 192) * 8;
    outcome.body = input.rest().toByteArray();

    const auto hosted = judged(clients.hosted, outcome);
    const auto nvidia = judged(clients.nvidia, outcome);
    const auto local = judged(clients.local, outcome);
    const auto openAI = judged(clients.openAI, outcome);

    fuzzCheck(hosted.succeeded == nvidia.succeeded && hosted.succeeded == local.succeeded,
              "the chat-completions clients agree on a body");
    // Bytes that are not UTF-8 read as U+FFFD, as the clients read them.
    const QJsonObject body = QJsonDocument::fromJson(Text::decodeUtf8Replacing(outcome.body).toUtf8()).object();
    if (hosted.succeeded) {
        fuzzCheck(hosted.text == nvidia.text && hosted.text == local.text, "and on its reply");
        const QJsonValue content = body.value(QLatin1String("choices"))
                                       .toArray()
                                       .at(0)
                                       .toObject()
                                       .value(QLatin1String("message"))
                                       .toObject()
                                       .value(QLatin1String("content"));
        fuzzCheck(hosted.text == Text::trimmed(content.toString()), "the reply is the first choice's content");
    }
    const QJsonValue choices = body.value(QLatin1String("choices"));
    if (!choices.isUndefined() && !choices.isNull() && !choices.isArray())
        fuzzCheck(!hosted.succeeded, "choices of the wrong type make the body malformed");
    const QString outputText = Text::trimmed(body.value(QLatin1String("output_text")).toString());
    if (openAI.succeeded && !outputText.isEmpty())
        fuzzCheck(openAI.text == outputText, "a non-blank output_text is the reply");
    return 0;
}
