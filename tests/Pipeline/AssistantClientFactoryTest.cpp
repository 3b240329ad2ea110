#include "Pipeline/AssistantClientFactory.h"

#include "Backend/LocalOpenAICompatClient.h"
#include "Backend/NVIDIANIMClient.h"
#include "Backend/OpenAIResponsesClient.h"
#include "Backend/OstrelHostedClient.h"
#include "Persistence/AppSettings.h"
#include "Support/UserDefaults.h"

#include "Common/FakeScheduler.h"
#include "Common/QtPrinters.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using Kind = AssistantClientFactory::Kind;
using Tool = CLIAssistantClient::Tool;

TEST(AssistantClientFactory, EachProviderGetsItsClientWithItsSettings)
{
    QTemporaryDir dir;
    UserDefaults defaults(dir.filePath(QStringLiteral("defaults.json")));
    AppSettings settings(defaults, AppSettings::Environment{});
    settings.setOpenAIAPIKey(QStringLiteral(" sk-open\n"));
    settings.setOpenAIModel(QStringLiteral(" gpt "));
    settings.setNvidiaAPIKey(QStringLiteral("\tnv-key "));
    settings.setNvidiaModel(QStringLiteral("nemotron"));
    settings.setLmStudioBaseURL(QStringLiteral(" http://127.0.0.1:1234/v1 "));
    settings.setLmStudioModel(QStringLiteral("qwen"));
    settings.setOllamaBaseURL(QStringLiteral("http://localhost:11434"));
    settings.setOllamaModel(QStringLiteral("llama"));
    const struct {
        AssistantProvider provider;
        void (AppSettings::*setModel)(const QString&);
        Tool tool;
    } agents[] = {
        {AssistantProvider::codexCLI, &AppSettings::setCodexCLIModel, Tool::codex},
        {AssistantProvider::claudeCLI, &AppSettings::setClaudeCLIModel, Tool::claude},
        {AssistantProvider::geminiCLI, &AppSettings::setGeminiCLIModel, Tool::gemini},
        {AssistantProvider::cursorAgent, &AppSettings::setCursorAgentModel, Tool::cursorAgent},
        {AssistantProvider::kimiCLI, &AppSettings::setKimiCLIModel, Tool::kimi},
        {AssistantProvider::opencodeCLI, &AppSettings::setOpencodeCLIModel, Tool::opencode},
        {AssistantProvider::ostrelCLI, &AppSettings::setOstrelCLIModel, Tool::ostrel},
    };

    using Spec = AssistantClientFactory::Spec;
    std::vector<std::pair<AssistantProvider, Spec>> expected = {
        {AssistantProvider::ostrelHosted, Spec{Kind::ostrelHosted, QStringLiteral("DEVICE"), {}, {}, {}, {}, 0ms}},
        {AssistantProvider::lmStudio, Spec{Kind::localOpenAICompat,
                                           {},
                                           QStringLiteral(" http://127.0.0.1:1234/v1 "),
                                           QStringLiteral("qwen"),
                                           {},
                                           {},
                                           0ms}},
        {AssistantProvider::ollama, Spec{Kind::localOpenAICompat,
                                         {},
                                         QStringLiteral("http://localhost:11434"),
                                         QStringLiteral("llama"),
                                         {},
                                         {},
                                         0ms}},
        {AssistantProvider::openAI,
         Spec{Kind::openAIResponses, {}, {}, QStringLiteral(" gpt "), QStringLiteral("sk-open"), {}, 0ms}},
        {AssistantProvider::nvidiaNIM,
         Spec{Kind::nvidiaNIM, {}, {}, QStringLiteral("nemotron"), QStringLiteral("nv-key"), {}, 0ms}},
    };
    for (const auto& agent : agents) {
        const QString model = rawValue(agent.tool) + QStringLiteral("-model");
        (settings.*agent.setModel)(model);
        expected.push_back({agent.provider, Spec{Kind::commandLine, {}, {}, model, {}, agent.tool, 60s}});
    }
    ASSERT_EQ(expected.size(), allCases<AssistantProvider>().size());

    FakeScheduler scheduler;
    for (const auto& [provider, spec] : expected) {
        SCOPED_TRACE(rawValue(provider).toStdString());
        settings.setAssistantProvider(provider);
        EXPECT_EQ(AssistantClientFactory::spec(settings, QStringLiteral("DEVICE")), spec);

        const std::unique_ptr<AssistantClient> client = AssistantClientFactory::build(spec, scheduler);
        const bool rightType = [&] {
            switch (spec.kind) {
            case Kind::ostrelHosted:
                return dynamic_cast<OstrelHostedClient*>(client.get()) != nullptr;
            case Kind::localOpenAICompat:
                return dynamic_cast<LocalOpenAICompatClient*>(client.get()) != nullptr;
            case Kind::openAIResponses:
                return dynamic_cast<OpenAIResponsesClient*>(client.get()) != nullptr;
            case Kind::nvidiaNIM:
                return dynamic_cast<NVIDIANIMClient*>(client.get()) != nullptr;
            case Kind::commandLine:
                return dynamic_cast<CLIAssistantClient*>(client.get()) != nullptr;
            }
            return false;
        }();
        EXPECT_TRUE(rightType);
    }
}
