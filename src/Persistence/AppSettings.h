#pragma once

#include "Avatar/AvatarStyle.h"
#include "Persistence/AppLanguage.h"
#include "Persistence/AppMode.h"
#include "Persistence/AssistantProvider.h"
#include "Persistence/AvatarGender.h"

#include <QDateTime>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>

#include <optional>

class UserDefaults;

// Every user setting. Each is loaded from the user defaults at construction (a missing,
// malformed or unknown value falls back to its default) and written back under
// "parlivox.<name>" on every assignment, after which its changed signal is emitted. An
// assignment that cannot be written still holds for this run and is followed by saveFailed.
// Used on the GUI thread.
class AppSettings : public QObject {
    Q_OBJECT
public:
    // What the settings read from the process besides the defaults; replaceable in tests.
    struct Environment {
        QString openAIAPIKey;  // OPENAI_API_KEY
        QString nvidiaAPIKey;  // NVIDIA_API_KEY
        QString systemLocaleName;  // e.g. "zh_TW"
        static Environment current();
    };

    explicit AppSettings(UserDefaults& defaults, const Environment& environment = Environment::current(),
                         QObject* parent = nullptr);

    // The end of the current rest window; kept in memory only, every start begins awake.
    std::optional<QDateTime> restingUntil() const { return m_restingUntil; }
    void setRestingUntil(std::optional<QDateTime> value);

    QString localeID() const { return m_localeID; }
    void setLocaleID(const QString& value);
    bool phaseSoundsEnabled() const { return m_phaseSoundsEnabled; }
    void setPhaseSoundsEnabled(bool value);
    bool rightOptionInterruptEnabled() const { return m_rightOptionInterruptEnabled; }
    void setRightOptionInterruptEnabled(bool value);
    AssistantProvider assistantProvider() const { return m_assistantProvider; }
    void setAssistantProvider(AssistantProvider value);
    QString openAIAPIKey() const { return m_openAIAPIKey; }
    void setOpenAIAPIKey(const QString& value);
    QString openAIModel() const { return m_openAIModel; }
    void setOpenAIModel(const QString& value);
    QString claudeCLIModel() const { return m_claudeCLIModel; }
    void setClaudeCLIModel(const QString& value);
    QString codexCLIModel() const { return m_codexCLIModel; }
    void setCodexCLIModel(const QString& value);
    QString geminiCLIModel() const { return m_geminiCLIModel; }
    void setGeminiCLIModel(const QString& value);
    QString cursorAgentModel() const { return m_cursorAgentModel; }
    void setCursorAgentModel(const QString& value);
    QString kimiCLIModel() const { return m_kimiCLIModel; }
    void setKimiCLIModel(const QString& value);
    QString opencodeCLIModel() const { return m_opencodeCLIModel; }
    void setOpencodeCLIModel(const QString& value);
    QString ostrelCLIModel() const { return m_ostrelCLIModel; }
    void setOstrelCLIModel(const QString& value);
    QString nvidiaAPIKey() const { return m_nvidiaAPIKey; }
    void setNvidiaAPIKey(const QString& value);
    QString nvidiaModel() const { return m_nvidiaModel; }
    void setNvidiaModel(const QString& value);
    QString lmStudioBaseURL() const { return m_lmStudioBaseURL; }
    void setLmStudioBaseURL(const QString& value);
    QString lmStudioModel() const { return m_lmStudioModel; }
    void setLmStudioModel(const QString& value);
    QString ollamaBaseURL() const { return m_ollamaBaseURL; }
    void setOllamaBaseURL(const QString& value);
    QString ollamaModel() const { return m_ollamaModel; }
    void setOllamaModel(const QString& value);
    QString translateSourceLocale() const { return m_translateSourceLocale; }
    void setTranslateSourceLocale(const QString& value);
    QString translateTargetLocale() const { return m_translateTargetLocale; }
    void setTranslateTargetLocale(const QString& value);
    QString obsidianVaultPath() const { return m_obsidianVaultPath; }
    void setObsidianVaultPath(const QString& value);
    QString obsidianSubfolder() const { return m_obsidianSubfolder; }
    void setObsidianSubfolder(const QString& value);
    bool obsidianSyncMeetings() const { return m_obsidianSyncMeetings; }
    void setObsidianSyncMeetings(bool value);
    bool obsidianSyncConversations() const { return m_obsidianSyncConversations; }
    void setObsidianSyncConversations(bool value);
    bool obsidianSyncMemories() const { return m_obsidianSyncMemories; }
    void setObsidianSyncMemories(bool value);
    bool obsidianSyncTranslations() const { return m_obsidianSyncTranslations; }
    void setObsidianSyncTranslations(bool value);
    AvatarGender avatarGender() const { return m_avatarGender; }
    void setAvatarGender(AvatarGender value);
    // "" chooses the voice automatically.
    QString selectedVoiceID() const { return m_selectedVoiceID; }
    void setSelectedVoiceID(const QString& value);
    AvatarStyle avatarStyle() const { return m_avatarStyle; }
    void setAvatarStyle(AvatarStyle value);
    QString assistantName() const { return m_assistantName; }
    void setAssistantName(const QString& value);
    QSet<QString> disabledSkillIDs() const { return m_disabledSkillIDs; }
    void setDisabledSkillIDs(const QSet<QString>& value);
    // Nothing removes the stored key.
    std::optional<QString> avatarImageName() const { return m_avatarImageName; }
    void setAvatarImageName(const std::optional<QString>& value);
    bool cameraGazeEnabled() const { return m_cameraGazeEnabled; }
    void setCameraGazeEnabled(bool value);
    bool cameraGrayscaleProcessing() const { return m_cameraGrayscaleProcessing; }
    void setCameraGrayscaleProcessing(bool value);
    bool bargeInEnabled() const { return m_bargeInEnabled; }
    void setBargeInEnabled(bool value);
    bool diagnosticsLoggingEnabled() const { return m_diagnosticsLoggingEnabled; }
    void setDiagnosticsLoggingEnabled(bool value);
    bool telemetryEnabled() const { return m_telemetryEnabled; }
    void setTelemetryEnabled(bool value);
    bool probeStatsLoggingEnabled() const { return m_probeStatsLoggingEnabled; }
    void setProbeStatsLoggingEnabled(bool value);
    bool probeTimelineRenderEnabled() const { return m_probeTimelineRenderEnabled; }
    void setProbeTimelineRenderEnabled(bool value);
    bool probePauseSamplesAutoTrim() const { return m_probePauseSamplesAutoTrim; }
    void setProbePauseSamplesAutoTrim(bool value);
    // Keyed by the mode's raw value.
    QMap<QString, QString> nemotronPersonaIDByMode() const { return m_nemotronPersonaIDByMode; }
    void setNemotronPersonaIDByMode(const QMap<QString, QString>& value);
    // "" uses the system default input.
    QString microphoneDeviceUID() const { return m_microphoneDeviceUID; }
    void setMicrophoneDeviceUID(const QString& value);
    AppMode appMode() const { return m_appMode; }
    void setAppMode(AppMode value);
    AppLanguage uiLanguage() const { return m_uiLanguage; }
    void setUiLanguage(AppLanguage value);

    // Recognition locale: the translation source in translate mode, else localeID.
    QString effectiveSTTLocale() const;
    // Speech-output locale: the translation target in translate mode, else localeID.
    QString effectiveTTSLocale() const;

    void setSkill(const QString& skillID, bool enabled);
    bool isSkillEnabled(const QString& skillID) const { return !m_disabledSkillIDs.contains(skillID); }

    // The stored persona for the mode when not empty, else the catalog's default for it.
    QString nemotronPersonaID(AppMode mode) const;
    void setNemotronPersonaID(const QString& id, AppMode mode);

signals:
    // A change could not be written to disk (it would be lost at the next start); `cause` is
    // the system's reason, e.g. "No space left on device".
    void saveFailed(const QString& cause);

    void restingUntilChanged();
    void localeIDChanged();
    void phaseSoundsEnabledChanged();
    void rightOptionInterruptEnabledChanged();
    void assistantProviderChanged();
    void openAIAPIKeyChanged();
    void openAIModelChanged();
    void claudeCLIModelChanged();
    void codexCLIModelChanged();
    void geminiCLIModelChanged();
    void cursorAgentModelChanged();
    void kimiCLIModelChanged();
    void opencodeCLIModelChanged();
    void ostrelCLIModelChanged();
    void nvidiaAPIKeyChanged();
    void nvidiaModelChanged();
    void lmStudioBaseURLChanged();
    void lmStudioModelChanged();
    void ollamaBaseURLChanged();
    void ollamaModelChanged();
    void translateSourceLocaleChanged();
    void translateTargetLocaleChanged();
    void obsidianVaultPathChanged();
    void obsidianSubfolderChanged();
    void obsidianSyncMeetingsChanged();
    void obsidianSyncConversationsChanged();
    void obsidianSyncMemoriesChanged();
    void obsidianSyncTranslationsChanged();
    void avatarGenderChanged();
    void selectedVoiceIDChanged();
    void avatarStyleChanged();
    void assistantNameChanged();
    void disabledSkillIDsChanged();
    void avatarImageNameChanged();
    void cameraGazeEnabledChanged();
    void cameraGrayscaleProcessingChanged();
    void bargeInEnabledChanged();
    void diagnosticsLoggingEnabledChanged();
    void telemetryEnabledChanged();
    void probeStatsLoggingEnabledChanged();
    void probeTimelineRenderEnabledChanged();
    void probePauseSamplesAutoTrimChanged();
    void nemotronPersonaIDByModeChanged();
    void microphoneDeviceUIDChanged();
    void appModeChanged();
    void uiLanguageChanged();

private:
    template <typename T>
    void assign(T& member, const T& value, const char* name, void (AppSettings::*changed)());
    // Emits the changed signal, then saveFailed when the write did not succeed.
    void published(bool saved, const QString& cause, void (AppSettings::*changed)());

    UserDefaults& m_defaults;

    std::optional<QDateTime> m_restingUntil;
    QString m_localeID;
    bool m_phaseSoundsEnabled;
    bool m_rightOptionInterruptEnabled;
    AssistantProvider m_assistantProvider;
    QString m_openAIAPIKey;
    QString m_openAIModel;
    QString m_claudeCLIModel;
    QString m_codexCLIModel;
    QString m_geminiCLIModel;
    QString m_cursorAgentModel;
    QString m_kimiCLIModel;
    QString m_opencodeCLIModel;
    QString m_ostrelCLIModel;
    QString m_nvidiaAPIKey;
    QString m_nvidiaModel;
    QString m_lmStudioBaseURL;
    QString m_lmStudioModel;
    QString m_ollamaBaseURL;
    QString m_ollamaModel;
    QString m_translateSourceLocale;
    QString m_translateTargetLocale;
    QString m_obsidianVaultPath;
    QString m_obsidianSubfolder;
    bool m_obsidianSyncMeetings;
    bool m_obsidianSyncConversations;
    bool m_obsidianSyncMemories;
    bool m_obsidianSyncTranslations;
    AvatarGender m_avatarGender;
    QString m_selectedVoiceID;
    AvatarStyle m_avatarStyle;
    QString m_assistantName;
    QSet<QString> m_disabledSkillIDs;
    std::optional<QString> m_avatarImageName;
    bool m_cameraGazeEnabled;
    bool m_cameraGrayscaleProcessing;
    bool m_bargeInEnabled;
    bool m_diagnosticsLoggingEnabled;
    bool m_telemetryEnabled;
    bool m_probeStatsLoggingEnabled;
    bool m_probeTimelineRenderEnabled;
    bool m_probePauseSamplesAutoTrim;
    QMap<QString, QString> m_nemotronPersonaIDByMode;
    QString m_microphoneDeviceUID;
    AppMode m_appMode;
    AppLanguage m_uiLanguage;
};
