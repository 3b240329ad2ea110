#include "Persistence/AppSettings.h"

#include "Persona/NemotronPersonaCatalog.h"
#include "Support/UserDefaults.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QLocale>

#include <algorithm>

namespace {

using StringMap = QMap<QString, QString>;

QString keyFor(const char* name)
{
    return QStringLiteral("parlivox.") + QLatin1String(name);
}

QJsonValue toJson(const QString& value)
{
    return value;
}
QJsonValue toJson(bool value)
{
    return value;
}
QJsonValue toJson(const QSet<QString>& value)
{
    QStringList sorted(value.begin(), value.end());
    std::sort(sorted.begin(), sorted.end());
    return QJsonArray::fromStringList(sorted);
}
QJsonValue toJson(const QMap<QString, QString>& value)
{
    QJsonObject object;
    for (auto it = value.begin(); it != value.end(); ++it)
        object.insert(it.key(), it.value());
    return object;
}
template <typename E>
requires std::is_enum_v<E> QJsonValue toJson(E value)
{
    return rawValue(value);
}

// Loading rules, one per kind of setting.
class Loader {
public:
    explicit Loader(const UserDefaults& defaults) : m_defaults(defaults) {}

    QString string(const char* name, const QString& fallback) const
    {
        return m_defaults.string(keyFor(name)).value_or(fallback);
    }
    // Any stored value counts, read the lax boolean way.
    bool laxBool(const char* name, bool fallback) const
    {
        return m_defaults.contains(keyFor(name)) ? m_defaults.laxBool(keyFor(name)) : fallback;
    }
    // Only a stored boolean counts.
    bool strictBool(const char* name, bool fallback) const
    {
        return m_defaults.strictBool(keyFor(name)).value_or(fallback);
    }
    template <typename E>
    E choice(const char* name, E fallback) const
    {
        const auto stored = m_defaults.string(keyFor(name));
        if (!stored)
            return fallback;
        return fromRawValue<E>(*stored).value_or(fallback);
    }

private:
    const UserDefaults& m_defaults;
};

AppLanguage languageOfSystem(const QString& localeName)
{
    const QLocale locale(localeName);
    const bool hasLanguage = locale.language() != QLocale::C && locale.language() != QLocale::AnyLanguage;
    const QString code = hasLanguage ? QLocale::languageToCode(locale.language()) : QStringLiteral("ko");
    return fromRawValue<AppLanguage>(code).value_or(AppLanguage::korean);
}

}  // namespace

AppSettings::Environment AppSettings::Environment::current()
{
    return {qEnvironmentVariable("OPENAI_API_KEY"), qEnvironmentVariable("NVIDIA_API_KEY"), QLocale::system().name()};
}

AppSettings::AppSettings(UserDefaults& defaults, const Environment& environment, QObject* parent)
    : QObject(parent), m_defaults(defaults)
{
    const Loader load(defaults);
    m_localeID = load.string("localeID", QStringLiteral("ko-KR"));
    m_phaseSoundsEnabled = load.laxBool("phaseSoundsEnabled", true);
    m_rightOptionInterruptEnabled = load.laxBool("rightOptionInterruptEnabled", true);
    m_assistantProvider = load.choice("assistantProvider", AssistantProvider::ostrelHosted);
    // An empty stored key counts as stored; the environment is only a fallback and is not persisted.
    m_openAIAPIKey = load.string("openAIAPIKey", environment.openAIAPIKey);
    m_openAIModel = load.string("openAIModel", QStringLiteral("gpt-5-mini"));
    m_claudeCLIModel = load.string("claudeCLIModel", QStringLiteral("sonnet"));
    m_codexCLIModel = load.string("codexCLIModel", QString());
    // Older builds stored API model names here that the agent rejects; use its own default instead.
    static const QStringList retiredCodexModels{"gpt-5-mini", "gpt-5-nano", "gpt-5-codex"};
    if (retiredCodexModels.contains(m_codexCLIModel))
        m_codexCLIModel.clear();
    m_geminiCLIModel = load.string("geminiCLIModel", QString());
    m_cursorAgentModel = load.string("cursorAgentModel", QString());
    m_kimiCLIModel = load.string("kimiCLIModel", QString());
    m_opencodeCLIModel = load.string("opencodeCLIModel", QString());
    m_ostrelCLIModel = load.string("ostrelCLIModel", QString());
    m_nvidiaAPIKey = load.string("nvidiaAPIKey", environment.nvidiaAPIKey);
    m_nvidiaModel = load.string("nvidiaModel", QStringLiteral("nvidia/llama-3.1-nemotron-70b-instruct"));
    m_lmStudioBaseURL = load.string("lmStudioBaseURL", QStringLiteral("http://127.0.0.1:1234"));
    m_lmStudioModel = load.string("lmStudioModel", QStringLiteral("qwen2.5-7b-instruct"));
    m_ollamaBaseURL = load.string("ollamaBaseURL", QStringLiteral("http://127.0.0.1:11434"));
    m_ollamaModel = load.string("ollamaModel", QStringLiteral("qwen2.5:7b"));
    m_translateSourceLocale = load.string("translateSourceLocale", QStringLiteral("en-US"));
    m_translateTargetLocale = load.string("translateTargetLocale", QStringLiteral("ko-KR"));
    m_obsidianVaultPath = load.string("obsidianVaultPath", QString());
    m_obsidianSubfolder = load.string("obsidianSubfolder", QStringLiteral("Parlivox"));
    m_obsidianSyncMeetings = load.strictBool("obsidianSyncMeetings", true);
    m_obsidianSyncConversations = load.strictBool("obsidianSyncConversations", false);
    m_obsidianSyncMemories = load.strictBool("obsidianSyncMemories", true);
    m_obsidianSyncTranslations = load.strictBool("obsidianSyncTranslations", false);
    m_avatarGender =
        defaults.string(keyFor("avatarGender")) == QStringLiteral("male") ? AvatarGender::male : AvatarGender::female;
    m_selectedVoiceID = load.string("selectedVoiceID", QString());
    m_avatarStyle = load.choice("avatarStyle", AvatarStyle::female);
    m_assistantName = load.string("assistantName", QStringLiteral("민지"));
    const QStringList disabled = defaults.stringArray(keyFor("disabledSkillIDs")).value_or(QStringList());
    m_disabledSkillIDs = QSet<QString>(disabled.begin(), disabled.end());
    m_avatarImageName = defaults.string(keyFor("avatarImageName"));
    m_cameraGazeEnabled = load.laxBool("cameraGazeEnabled", false);
    m_cameraGrayscaleProcessing = load.laxBool("cameraGrayscaleProcessing", true);
    m_bargeInEnabled = load.laxBool("bargeInEnabled", true);
    m_diagnosticsLoggingEnabled = load.laxBool("diagnosticsLoggingEnabled", true);
    m_telemetryEnabled = load.laxBool("telemetryEnabled", true);
    m_probeStatsLoggingEnabled = load.laxBool("probeStatsLoggingEnabled", true);
    m_probeTimelineRenderEnabled = load.laxBool("probeTimelineRenderEnabled", true);
    m_probePauseSamplesAutoTrim = load.laxBool("probePauseSamplesAutoTrim", true);
    m_nemotronPersonaIDByMode =
        defaults.stringMap(keyFor("nemotronPersonaIDByMode")).value_or(QMap<QString, QString>());
    m_microphoneDeviceUID = load.string("microphoneDeviceUID", QString());
    m_appMode = load.choice("appMode", AppMode::conversation);
    const auto storedLanguage = defaults.string(keyFor("uiLanguage"));
    const auto language = storedLanguage ? fromRawValue<AppLanguage>(*storedLanguage) : std::nullopt;
    m_uiLanguage = language.value_or(languageOfSystem(environment.systemLocaleName));
}

template <typename T>
void AppSettings::assign(T& member, const T& value, const char* name, void (AppSettings::*changed)())
{
    member = value;
    QString cause;
    const bool saved = m_defaults.set(keyFor(name), toJson(value), &cause);
    published(saved, cause, changed);
}

void AppSettings::published(bool saved, const QString& cause, void (AppSettings::*changed)())
{
    emit(this->*changed)();
    if (!saved)
        emit saveFailed(cause);
}

void AppSettings::setRestingUntil(std::optional<QDateTime> value)
{
    m_restingUntil = std::move(value);
    emit restingUntilChanged();
}

void AppSettings::setAvatarImageName(const std::optional<QString>& value)
{
    m_avatarImageName = value;
    QString cause;
    const bool saved = value ? m_defaults.set(keyFor("avatarImageName"), *value, &cause)
                             : m_defaults.remove(keyFor("avatarImageName"), &cause);
    published(saved, cause, &AppSettings::avatarImageNameChanged);
}

#define PARLIVOX_SETTER(Type, Name, setter)                                                                            \
    void AppSettings::setter(Type value)                                                                               \
    {                                                                                                                  \
        assign(m_##Name, value, #Name, &AppSettings::Name##Changed);                                                   \
    }

PARLIVOX_SETTER(const QString&, localeID, setLocaleID)
PARLIVOX_SETTER(bool, phaseSoundsEnabled, setPhaseSoundsEnabled)
PARLIVOX_SETTER(bool, rightOptionInterruptEnabled, setRightOptionInterruptEnabled)
PARLIVOX_SETTER(AssistantProvider, assistantProvider, setAssistantProvider)
PARLIVOX_SETTER(const QString&, openAIAPIKey, setOpenAIAPIKey)
PARLIVOX_SETTER(const QString&, openAIModel, setOpenAIModel)
PARLIVOX_SETTER(const QString&, claudeCLIModel, setClaudeCLIModel)
PARLIVOX_SETTER(const QString&, codexCLIModel, setCodexCLIModel)
PARLIVOX_SETTER(const QString&, geminiCLIModel, setGeminiCLIModel)
PARLIVOX_SETTER(const QString&, cursorAgentModel, setCursorAgentModel)
PARLIVOX_SETTER(const QString&, kimiCLIModel, setKimiCLIModel)
PARLIVOX_SETTER(const QString&, opencodeCLIModel, setOpencodeCLIModel)
PARLIVOX_SETTER(const QString&, ostrelCLIModel, setOstrelCLIModel)
PARLIVOX_SETTER(const QString&, nvidiaAPIKey, setNvidiaAPIKey)
PARLIVOX_SETTER(const QString&, nvidiaModel, setNvidiaModel)
PARLIVOX_SETTER(const QString&, lmStudioBaseURL, setLmStudioBaseURL)
PARLIVOX_SETTER(const QString&, lmStudioModel, setLmStudioModel)
PARLIVOX_SETTER(const QString&, ollamaBaseURL, setOllamaBaseURL)
PARLIVOX_SETTER(const QString&, ollamaModel, setOllamaModel)
PARLIVOX_SETTER(const QString&, translateSourceLocale, setTranslateSourceLocale)
PARLIVOX_SETTER(const QString&, translateTargetLocale, setTranslateTargetLocale)
PARLIVOX_SETTER(const QString&, obsidianVaultPath, setObsidianVaultPath)
PARLIVOX_SETTER(const QString&, obsidianSubfolder, setObsidianSubfolder)
PARLIVOX_SETTER(bool, obsidianSyncMeetings, setObsidianSyncMeetings)
PARLIVOX_SETTER(bool, obsidianSyncConversations, setObsidianSyncConversations)
PARLIVOX_SETTER(bool, obsidianSyncMemories, setObsidianSyncMemories)
PARLIVOX_SETTER(bool, obsidianSyncTranslations, setObsidianSyncTranslations)
PARLIVOX_SETTER(AvatarGender, avatarGender, setAvatarGender)
PARLIVOX_SETTER(const QString&, selectedVoiceID, setSelectedVoiceID)
PARLIVOX_SETTER(AvatarStyle, avatarStyle, setAvatarStyle)
PARLIVOX_SETTER(const QString&, assistantName, setAssistantName)
PARLIVOX_SETTER(const QSet<QString>&, disabledSkillIDs, setDisabledSkillIDs)
PARLIVOX_SETTER(bool, cameraGazeEnabled, setCameraGazeEnabled)
PARLIVOX_SETTER(bool, cameraGrayscaleProcessing, setCameraGrayscaleProcessing)
PARLIVOX_SETTER(bool, bargeInEnabled, setBargeInEnabled)
PARLIVOX_SETTER(bool, diagnosticsLoggingEnabled, setDiagnosticsLoggingEnabled)
PARLIVOX_SETTER(bool, telemetryEnabled, setTelemetryEnabled)
PARLIVOX_SETTER(bool, probeStatsLoggingEnabled, setProbeStatsLoggingEnabled)
PARLIVOX_SETTER(bool, probeTimelineRenderEnabled, setProbeTimelineRenderEnabled)
PARLIVOX_SETTER(bool, probePauseSamplesAutoTrim, setProbePauseSamplesAutoTrim)
PARLIVOX_SETTER(const StringMap&, nemotronPersonaIDByMode, setNemotronPersonaIDByMode)
PARLIVOX_SETTER(const QString&, microphoneDeviceUID, setMicrophoneDeviceUID)
PARLIVOX_SETTER(AppMode, appMode, setAppMode)
PARLIVOX_SETTER(AppLanguage, uiLanguage, setUiLanguage)

#undef PARLIVOX_SETTER

QString AppSettings::effectiveSTTLocale() const
{
    return m_appMode == AppMode::translate ? m_translateSourceLocale : m_localeID;
}

QString AppSettings::effectiveTTSLocale() const
{
    return m_appMode == AppMode::translate ? m_translateTargetLocale : m_localeID;
}

void AppSettings::setSkill(const QString& skillID, bool enabled)
{
    QSet<QString> ids = m_disabledSkillIDs;
    if (enabled)
        ids.remove(skillID);
    else
        ids.insert(skillID);
    setDisabledSkillIDs(ids);
}

QString AppSettings::nemotronPersonaID(AppMode mode) const
{
    const QString stored = m_nemotronPersonaIDByMode.value(rawValue(mode));
    return stored.isEmpty() ? NemotronPersonaCatalog::defaultID(mode) : stored;
}

void AppSettings::setNemotronPersonaID(const QString& id, AppMode mode)
{
    QMap<QString, QString> map = m_nemotronPersonaIDByMode;
    map.insert(rawValue(mode), id);
    setNemotronPersonaIDByMode(map);
}
