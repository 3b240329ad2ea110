#include "Pipeline/AssistantClientFactory.h"

#include "Backend/LocalOpenAICompatClient.h"
#include "Backend/NVIDIANIMClient.h"
#include "Backend/OpenAIResponsesClient.h"
#include "Backend/OstrelHostedClient.h"
#include "Persistence/AppSettings.h"
#include "Storage/DeviceIdentifier.h"
#include "Support/Text.h"

namespace {

AssistantClientFactory::Spec commandLine(CLIAssistantClient::Tool tool, const QString& model)
{
    AssistantClientFactory::Spec spec;
    spec.kind = AssistantClientFactory::Kind::commandLine;
    spec.tool = tool;
    spec.model = model;
    spec.timeout = CLIAssistantClient::kDefaultTimeout;
    return spec;
}

AssistantClientFactory::Spec withKey(AssistantClientFactory::Kind kind, const QString& apiKey, const QString& model)
{
    AssistantClientFactory::Spec spec;
    spec.kind = kind;
    spec.apiKey = Text::trimmed(apiKey);
    spec.model = model;
    return spec;
}

AssistantClientFactory::Spec localServer(const QString& baseURL, const QString& model)
{
    AssistantClientFactory::Spec spec;
    spec.kind = AssistantClientFactory::Kind::localOpenAICompat;
    spec.baseURL = baseURL;
    spec.model = model;
    return spec;
}

}  // namespace

AssistantClientFactory::AssistantClientFactory(const AppSettings& settings, const DeviceIdentifier& device,
                                               Scheduler& scheduler)
    : m_settings(settings), m_device(device), m_scheduler(scheduler)
{
}

std::unique_ptr<AssistantClient> AssistantClientFactory::make() const
{
    return build(spec(m_settings, m_device.current()), m_scheduler);
}

AssistantClientFactory::Spec AssistantClientFactory::spec(const AppSettings& settings, const QString& deviceID)
{
    using Tool = CLIAssistantClient::Tool;
    switch (settings.assistantProvider()) {
    case AssistantProvider::ostrelHosted:
        break;
    case AssistantProvider::lmStudio:
        return localServer(settings.lmStudioBaseURL(), settings.lmStudioModel());
    case AssistantProvider::ollama:
        return localServer(settings.ollamaBaseURL(), settings.ollamaModel());
    case AssistantProvider::openAI:
        return withKey(Kind::openAIResponses, settings.openAIAPIKey(), settings.openAIModel());
    case AssistantProvider::nvidiaNIM:
        return withKey(Kind::nvidiaNIM, settings.nvidiaAPIKey(), settings.nvidiaModel());
    case AssistantProvider::codexCLI:
        return commandLine(Tool::codex, settings.codexCLIModel());
    case AssistantProvider::claudeCLI:
        return commandLine(Tool::claude, settings.claudeCLIModel());
    case AssistantProvider::geminiCLI:
        return commandLine(Tool::gemini, settings.geminiCLIModel());
    case AssistantProvider::cursorAgent:
        return commandLine(Tool::cursorAgent, settings.cursorAgentModel());
    case AssistantProvider::kimiCLI:
        return commandLine(Tool::kimi, settings.kimiCLIModel());
    case AssistantProvider::opencodeCLI:
        return commandLine(Tool::opencode, settings.opencodeCLIModel());
    case AssistantProvider::ostrelCLI:
        return commandLine(Tool::ostrel, settings.ostrelCLIModel());
    }
    Spec hosted;
    hosted.deviceID = deviceID;
    return hosted;
}

std::unique_ptr<AssistantClient> AssistantClientFactory::build(const Spec& spec, Scheduler& scheduler)
{
    switch (spec.kind) {
    case Kind::ostrelHosted:
        return std::make_unique<OstrelHostedClient>(spec.deviceID, scheduler);
    case Kind::localOpenAICompat:
        return std::make_unique<LocalOpenAICompatClient>(spec.baseURL, spec.model, spec.apiKey, scheduler);
    case Kind::openAIResponses:
        return std::make_unique<OpenAIResponsesClient>(spec.apiKey, spec.model, scheduler);
    case Kind::nvidiaNIM:
        return std::make_unique<NVIDIANIMClient>(spec.apiKey, spec.model, scheduler);
    case Kind::commandLine:
        return std::make_unique<CLIAssistantClient>(spec.tool, spec.model, spec.timeout, scheduler);
    }
    return nullptr;
}
