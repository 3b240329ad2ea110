#include "UI/Models/AssistantSectionModel.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"

namespace AssistantSectionModel {

QString providerTitle(AssistantProvider provider, AppLanguage language)
{
    const auto local = [language](const char* name) {
        return L10n::t(QStringLiteral("settings.provider_local"), language).arg(QLatin1String(name));
    };
    switch (provider) {
    case AssistantProvider::lmStudio:
        return local("LM Studio");
    case AssistantProvider::ollama:
        return local("Ollama");
    default:
        return title(provider);
    }
}

QList<Row> rows(AssistantProvider provider)
{
    switch (provider) {
    case AssistantProvider::ostrelHosted:
        return {};
    case AssistantProvider::lmStudio:
        return {Row::model, Row::lmStudioURL};
    case AssistantProvider::ollama:
        return {Row::model, Row::ollamaURL};
    case AssistantProvider::openAI:
        return {Row::model, Row::openAIKey};
    case AssistantProvider::nvidiaNIM:
        return {Row::model, Row::nvidiaKey};
    default:
        return {Row::model};
    }
}

std::optional<ModelSetting> modelSetting(AssistantProvider provider)
{
    using S = AppSettings;
    switch (provider) {
    case AssistantProvider::ostrelHosted:
        return std::nullopt;
    case AssistantProvider::lmStudio:
        return ModelSetting{&S::lmStudioModel, &S::setLmStudioModel, &S::lmStudioModelChanged};
    case AssistantProvider::ollama:
        return ModelSetting{&S::ollamaModel, &S::setOllamaModel, &S::ollamaModelChanged};
    case AssistantProvider::openAI:
        return ModelSetting{&S::openAIModel, &S::setOpenAIModel, &S::openAIModelChanged};
    case AssistantProvider::nvidiaNIM:
        return ModelSetting{&S::nvidiaModel, &S::setNvidiaModel, &S::nvidiaModelChanged};
    case AssistantProvider::codexCLI:
        return ModelSetting{&S::codexCLIModel, &S::setCodexCLIModel, &S::codexCLIModelChanged};
    case AssistantProvider::claudeCLI:
        return ModelSetting{&S::claudeCLIModel, &S::setClaudeCLIModel, &S::claudeCLIModelChanged};
    case AssistantProvider::geminiCLI:
        return ModelSetting{&S::geminiCLIModel, &S::setGeminiCLIModel, &S::geminiCLIModelChanged};
    case AssistantProvider::cursorAgent:
        return ModelSetting{&S::cursorAgentModel, &S::setCursorAgentModel, &S::cursorAgentModelChanged};
    case AssistantProvider::kimiCLI:
        return ModelSetting{&S::kimiCLIModel, &S::setKimiCLIModel, &S::kimiCLIModelChanged};
    case AssistantProvider::opencodeCLI:
        return ModelSetting{&S::opencodeCLIModel, &S::setOpencodeCLIModel, &S::opencodeCLIModelChanged};
    case AssistantProvider::ostrelCLI:
        return ModelSetting{&S::ostrelCLIModel, &S::setOstrelCLIModel, &S::ostrelCLIModelChanged};
    }
    return std::nullopt;
}

QString placeholderKey(AssistantProvider provider)
{
    return provider == AssistantProvider::codexCLI ? QStringLiteral("settings.model_default") : QString();
}

QString currentModel(const AppSettings& settings)
{
    const auto setting = modelSetting(settings.assistantProvider());
    return setting ? (settings.*setting->get)() : QString();
}

void setCurrentModel(AppSettings& settings, const QString& model)
{
    if (const auto setting = modelSetting(settings.assistantProvider()))
        (settings.*setting->set)(model);
}

}  // namespace AssistantSectionModel
