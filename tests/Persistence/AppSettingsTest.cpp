#include "Persistence/AppSettings.h"
#include "Common/DiskFault.h"
#include "Common/QtPrinters.h"
#include "Support/FileIO.h"
#include "Support/UserDefaults.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

class AppSettingsTest : public ::testing::Test {
protected:
    QString path() const { return m_dir.filePath("defaults.json"); }

    // A fresh store and settings object over the same file, as after a restart.
    AppSettings& reload(const AppSettings::Environment& environment = {})
    {
        m_settings.reset();
        m_defaults = std::make_unique<UserDefaults>(path());
        m_settings = std::make_unique<AppSettings>(*m_defaults, environment);
        return *m_settings;
    }
    UserDefaults& defaults() { return *m_defaults; }
    void store(const QString& key, const QJsonValue& value) { UserDefaults(path()).set(key, value); }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<UserDefaults> m_defaults;
    std::unique_ptr<AppSettings> m_settings;
};

}  // namespace

TEST_F(AppSettingsTest, DefaultsWithAnEmptyStoreAndNoEnvironment)
{
    const AppSettings& s = reload();
    EXPECT_EQ(s.localeID(), "ko-KR");
    EXPECT_TRUE(s.phaseSoundsEnabled());
    EXPECT_TRUE(s.rightOptionInterruptEnabled());
    EXPECT_EQ(s.assistantProvider(), AssistantProvider::ostrelHosted);
    EXPECT_EQ(s.openAIModel(), "gpt-5-mini");
    EXPECT_EQ(s.claudeCLIModel(), "sonnet");
    for (const QString& blank : {s.codexCLIModel(), s.geminiCLIModel(), s.cursorAgentModel(), s.kimiCLIModel(),
                                 s.opencodeCLIModel(), s.ostrelCLIModel(), s.openAIAPIKey(), s.nvidiaAPIKey(),
                                 s.obsidianVaultPath(), s.selectedVoiceID(), s.microphoneDeviceUID()})
        EXPECT_EQ(blank, "");
    EXPECT_EQ(s.nvidiaModel(), "nvidia/llama-3.1-nemotron-70b-instruct");
    EXPECT_EQ(QUrl(s.lmStudioBaseURL()).port(), 1234);
    EXPECT_EQ(QUrl(s.ollamaBaseURL()).port(), 11434);
    EXPECT_TRUE(QUrl(s.ollamaBaseURL()).path().isEmpty());
    EXPECT_EQ(QUrl(s.lmStudioBaseURL()).scheme(), "http");
    EXPECT_EQ(s.lmStudioModel(), "qwen2.5-7b-instruct");
    EXPECT_EQ(s.ollamaModel(), "qwen2.5:7b");
    EXPECT_EQ(s.translateSourceLocale(), "en-US");
    EXPECT_EQ(s.translateTargetLocale(), "ko-KR");
    EXPECT_EQ(s.obsidianSubfolder(), "Parlivox");
    EXPECT_TRUE(s.obsidianSyncMeetings());
    EXPECT_FALSE(s.obsidianSyncConversations());
    EXPECT_TRUE(s.obsidianSyncMemories());
    EXPECT_FALSE(s.obsidianSyncTranslations());
    EXPECT_EQ(s.avatarGender(), AvatarGender::female);
    EXPECT_EQ(s.avatarStyle(), AvatarStyle::female);
    EXPECT_EQ(s.assistantName(), QStringLiteral("민지"));
    EXPECT_TRUE(s.disabledSkillIDs().isEmpty());
    EXPECT_EQ(s.avatarImageName(), std::nullopt);
    EXPECT_FALSE(s.cameraGazeEnabled());
    EXPECT_TRUE(s.cameraGrayscaleProcessing());
    EXPECT_TRUE(s.bargeInEnabled());
    EXPECT_TRUE(s.diagnosticsLoggingEnabled());
    EXPECT_TRUE(s.telemetryEnabled());
    EXPECT_TRUE(s.probeStatsLoggingEnabled());
    EXPECT_TRUE(s.probeTimelineRenderEnabled());
    EXPECT_TRUE(s.probePauseSamplesAutoTrim());
    EXPECT_TRUE(s.nemotronPersonaIDByMode().isEmpty());
    EXPECT_EQ(s.appMode(), AppMode::conversation);
    EXPECT_EQ(s.uiLanguage(), AppLanguage::korean);
    EXPECT_EQ(s.restingUntil(), std::nullopt);
    EXPECT_FALSE(QFile::exists(path())) << "loading must not write anything";
}

// Each row assigns a value that differs from the default, then checks it after a restart
// and that it was stored under exactly "parlivox.<name>".
TEST_F(AppSettingsTest, EveryAssignmentPersistsUnderItsKeyAndSurvivesARestart)
{
    struct Row {
        const char* name;
        std::function<void(AppSettings&)> assign;
        std::function<bool(const AppSettings&)> check;
    };
    const QString text = QStringLiteral("값 ✓");
    const std::vector<Row> rows = {
        {"localeID", [&](AppSettings& s) { s.setLocaleID("en-US"); },
         [](const AppSettings& s) { return s.localeID() == "en-US"; }},
        {"phaseSoundsEnabled", [](AppSettings& s) { s.setPhaseSoundsEnabled(false); },
         [](const AppSettings& s) { return !s.phaseSoundsEnabled(); }},
        {"rightOptionInterruptEnabled", [](AppSettings& s) { s.setRightOptionInterruptEnabled(false); },
         [](const AppSettings& s) { return !s.rightOptionInterruptEnabled(); }},
        {"assistantProvider", [](AppSettings& s) { s.setAssistantProvider(AssistantProvider::openAI); },
         [](const AppSettings& s) { return s.assistantProvider() == AssistantProvider::openAI; }},
        {"openAIAPIKey", [&](AppSettings& s) { s.setOpenAIAPIKey(text); },
         [&](const AppSettings& s) { return s.openAIAPIKey() == text; }},
        {"openAIModel", [](AppSettings& s) { s.setOpenAIModel("gpt-5"); },
         [](const AppSettings& s) { return s.openAIModel() == "gpt-5"; }},
        {"claudeCLIModel", [](AppSettings& s) { s.setClaudeCLIModel("opus"); },
         [](const AppSettings& s) { return s.claudeCLIModel() == "opus"; }},
        {"codexCLIModel", [](AppSettings& s) { s.setCodexCLIModel("gpt-5.5"); },
         [](const AppSettings& s) { return s.codexCLIModel() == "gpt-5.5"; }},
        {"geminiCLIModel", [](AppSettings& s) { s.setGeminiCLIModel("g"); },
         [](const AppSettings& s) { return s.geminiCLIModel() == "g"; }},
        {"cursorAgentModel", [](AppSettings& s) { s.setCursorAgentModel("c"); },
         [](const AppSettings& s) { return s.cursorAgentModel() == "c"; }},
        {"kimiCLIModel", [](AppSettings& s) { s.setKimiCLIModel("k"); },
         [](const AppSettings& s) { return s.kimiCLIModel() == "k"; }},
        {"opencodeCLIModel", [](AppSettings& s) { s.setOpencodeCLIModel("o"); },
         [](const AppSettings& s) { return s.opencodeCLIModel() == "o"; }},
        {"ostrelCLIModel", [](AppSettings& s) { s.setOstrelCLIModel("ostrel-1"); },
         [](const AppSettings& s) { return s.ostrelCLIModel() == "ostrel-1"; }},
        {"nvidiaAPIKey", [](AppSettings& s) { s.setNvidiaAPIKey("nv"); },
         [](const AppSettings& s) { return s.nvidiaAPIKey() == "nv"; }},
        {"nvidiaModel", [](AppSettings& s) { s.setNvidiaModel("m"); },
         [](const AppSettings& s) { return s.nvidiaModel() == "m"; }},
        {"lmStudioBaseURL", [](AppSettings& s) { s.setLmStudioBaseURL("http://box:1"); },
         [](const AppSettings& s) { return s.lmStudioBaseURL() == "http://box:1"; }},
        {"lmStudioModel", [](AppSettings& s) { s.setLmStudioModel("l"); },
         [](const AppSettings& s) { return s.lmStudioModel() == "l"; }},
        {"ollamaBaseURL", [](AppSettings& s) { s.setOllamaBaseURL("http://box:2"); },
         [](const AppSettings& s) { return s.ollamaBaseURL() == "http://box:2"; }},
        {"ollamaModel", [](AppSettings& s) { s.setOllamaModel("gemma2:9b"); },
         [](const AppSettings& s) { return s.ollamaModel() == "gemma2:9b"; }},
        {"translateSourceLocale", [](AppSettings& s) { s.setTranslateSourceLocale("ja-JP"); },
         [](const AppSettings& s) { return s.translateSourceLocale() == "ja-JP"; }},
        {"translateTargetLocale", [](AppSettings& s) { s.setTranslateTargetLocale("fr-FR"); },
         [](const AppSettings& s) { return s.translateTargetLocale() == "fr-FR"; }},
        {"obsidianVaultPath", [](AppSettings& s) { s.setObsidianVaultPath("/v"); },
         [](const AppSettings& s) { return s.obsidianVaultPath() == "/v"; }},
        {"obsidianSubfolder", [](AppSettings& s) { s.setObsidianSubfolder("Notes/P"); },
         [](const AppSettings& s) { return s.obsidianSubfolder() == "Notes/P"; }},
        {"obsidianSyncMeetings", [](AppSettings& s) { s.setObsidianSyncMeetings(false); },
         [](const AppSettings& s) { return !s.obsidianSyncMeetings(); }},
        {"obsidianSyncConversations", [](AppSettings& s) { s.setObsidianSyncConversations(true); },
         [](const AppSettings& s) { return s.obsidianSyncConversations(); }},
        {"obsidianSyncMemories", [](AppSettings& s) { s.setObsidianSyncMemories(false); },
         [](const AppSettings& s) { return !s.obsidianSyncMemories(); }},
        {"obsidianSyncTranslations", [](AppSettings& s) { s.setObsidianSyncTranslations(true); },
         [](const AppSettings& s) { return s.obsidianSyncTranslations(); }},
        {"avatarGender", [](AppSettings& s) { s.setAvatarGender(AvatarGender::male); },
         [](const AppSettings& s) { return s.avatarGender() == AvatarGender::male; }},
        {"selectedVoiceID", [](AppSettings& s) { s.setSelectedVoiceID("ko+f3"); },
         [](const AppSettings& s) { return s.selectedVoiceID() == "ko+f3"; }},
        {"avatarStyle", [](AppSettings& s) { s.setAvatarStyle(AvatarStyle::hamster); },
         [](const AppSettings& s) { return s.avatarStyle() == AvatarStyle::hamster; }},
        {"assistantName", [&](AppSettings& s) { s.setAssistantName(text); },
         [&](const AppSettings& s) { return s.assistantName() == text; }},
        {"disabledSkillIDs",
         [](AppSettings& s) {
             s.setDisabledSkillIDs({"mail.compose", "rest"});
         },
         [](const AppSettings& s) {
             return s.disabledSkillIDs() == QSet<QString>{"mail.compose", "rest"};
         }},
        {"avatarImageName", [](AppSettings& s) { s.setAvatarImageName(QStringLiteral("avatar-1.png")); },
         [](const AppSettings& s) { return s.avatarImageName() == QStringLiteral("avatar-1.png"); }},
        {"cameraGazeEnabled", [](AppSettings& s) { s.setCameraGazeEnabled(true); },
         [](const AppSettings& s) { return s.cameraGazeEnabled(); }},
        {"cameraGrayscaleProcessing", [](AppSettings& s) { s.setCameraGrayscaleProcessing(false); },
         [](const AppSettings& s) { return !s.cameraGrayscaleProcessing(); }},
        {"bargeInEnabled", [](AppSettings& s) { s.setBargeInEnabled(false); },
         [](const AppSettings& s) { return !s.bargeInEnabled(); }},
        {"diagnosticsLoggingEnabled", [](AppSettings& s) { s.setDiagnosticsLoggingEnabled(false); },
         [](const AppSettings& s) { return !s.diagnosticsLoggingEnabled(); }},
        {"telemetryEnabled", [](AppSettings& s) { s.setTelemetryEnabled(false); },
         [](const AppSettings& s) { return !s.telemetryEnabled(); }},
        {"probeStatsLoggingEnabled", [](AppSettings& s) { s.setProbeStatsLoggingEnabled(false); },
         [](const AppSettings& s) { return !s.probeStatsLoggingEnabled(); }},
        {"probeTimelineRenderEnabled", [](AppSettings& s) { s.setProbeTimelineRenderEnabled(false); },
         [](const AppSettings& s) { return !s.probeTimelineRenderEnabled(); }},
        {"probePauseSamplesAutoTrim", [](AppSettings& s) { s.setProbePauseSamplesAutoTrim(false); },
         [](const AppSettings& s) { return !s.probePauseSamplesAutoTrim(); }},
        {"nemotronPersonaIDByMode",
         [](AppSettings& s) {
             s.setNemotronPersonaIDByMode({{"minutes", "x"}, {"translate", "y"}});
         },
         [](const AppSettings& s) {
             return s.nemotronPersonaIDByMode() == QMap<QString, QString>{{"minutes", "x"}, {"translate", "y"}};
         }},
        {"microphoneDeviceUID", [](AppSettings& s) { s.setMicrophoneDeviceUID("alsa_input.usb"); },
         [](const AppSettings& s) { return s.microphoneDeviceUID() == "alsa_input.usb"; }},
        {"appMode", [](AppSettings& s) { s.setAppMode(AppMode::translate); },
         [](const AppSettings& s) { return s.appMode() == AppMode::translate; }},
        {"uiLanguage", [](AppSettings& s) { s.setUiLanguage(AppLanguage::chineseTraditional); },
         [](const AppSettings& s) { return s.uiLanguage() == AppLanguage::chineseTraditional; }},
    };
    for (const Row& row : rows) {
        const QString key = QStringLiteral("parlivox.") + QLatin1String(row.name);
        row.assign(reload());
        EXPECT_TRUE(UserDefaults(path()).contains(key)) << row.name << " was not stored under its key";
        EXPECT_TRUE(row.check(reload())) << row.name << " did not survive a restart";
    }
    EXPECT_EQ(rows.size(), 45u) << "every persisted setting needs a row";
}

TEST_F(AppSettingsTest, AssignmentStoresTheValueWithItsTypeAndSignals)
{
    AppSettings& s = reload();
    QSignalSpy spy(&s, &AppSettings::bargeInEnabledChanged);
    s.setBargeInEnabled(true);  // equal to the current value: still stored and published
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(defaults().value("parlivox.bargeInEnabled"), QJsonValue(true));
    s.setAppMode(AppMode::minutes);
    EXPECT_EQ(defaults().value("parlivox.appMode"), QJsonValue("minutes"));
    s.setDisabledSkillIDs({"b", "a"});
    EXPECT_EQ(defaults().value("parlivox.disabledSkillIDs"), QJsonValue(QJsonArray{"a", "b"}));
    s.setRestingUntil(QDateTime::currentDateTime());
    EXPECT_FALSE(UserDefaults(path()).contains("parlivox.restingUntil")) << "the rest window lives in memory only";
}

TEST_F(AppSettingsTest, UnknownOrMistypedStoredValuesFallBack)
{
    store("parlivox.assistantProvider", "gemini");
    store("parlivox.appMode", "Minutes");
    store("parlivox.avatarStyle", "robot");
    store("parlivox.avatarGender", "MALE");
    store("parlivox.localeID", 42);
    store("parlivox.disabledSkillIDs", QJsonArray{"a", 3});
    store("parlivox.nemotronPersonaIDByMode", QJsonObject{{"minutes", 7}});
    store("parlivox.uiLanguage", "zh-hant");
    store("parlivox.avatarImageName", QJsonArray());
    const AppSettings& s = reload({{}, {}, QStringLiteral("en_US")});
    EXPECT_EQ(s.assistantProvider(), AssistantProvider::ostrelHosted);
    EXPECT_EQ(s.appMode(), AppMode::conversation);
    EXPECT_EQ(s.avatarStyle(), AvatarStyle::female);
    EXPECT_EQ(s.avatarGender(), AvatarGender::female);
    EXPECT_EQ(s.localeID(), "ko-KR");
    EXPECT_TRUE(s.disabledSkillIDs().isEmpty());
    EXPECT_TRUE(s.nemotronPersonaIDByMode().isEmpty());
    EXPECT_EQ(s.uiLanguage(), AppLanguage::english);
    EXPECT_EQ(s.avatarImageName(), std::nullopt);
}

TEST_F(AppSettingsTest, MostSwitchesReadAnyStoredValueButVaultSwitchesOnlyBooleans)
{
    store("parlivox.telemetryEnabled", "YES");
    store("parlivox.bargeInEnabled", "no");
    store("parlivox.cameraGazeEnabled", 1);
    store("parlivox.obsidianSyncConversations", "YES");
    store("parlivox.obsidianSyncMeetings", 0);
    store("parlivox.obsidianSyncTranslations", true);
    const AppSettings& s = reload();
    EXPECT_TRUE(s.telemetryEnabled());
    EXPECT_FALSE(s.bargeInEnabled());
    EXPECT_TRUE(s.cameraGazeEnabled());
    EXPECT_FALSE(s.obsidianSyncConversations());
    EXPECT_TRUE(s.obsidianSyncMeetings());
    EXPECT_TRUE(s.obsidianSyncTranslations());
}

TEST_F(AppSettingsTest, RetiredCodexModelsLoadAsTheAgentDefaultWithoutRewritingTheKey)
{
    for (const char* retired : {"gpt-5-mini", "gpt-5-nano", "gpt-5-codex"}) {
        store("parlivox.codexCLIModel", retired);
        EXPECT_EQ(reload().codexCLIModel(), "");
        EXPECT_EQ(UserDefaults(path()).string("parlivox.codexCLIModel"), QString::fromLatin1(retired));
    }
    store("parlivox.codexCLIModel", "gpt-5");
    EXPECT_EQ(reload().codexCLIModel(), "gpt-5");
    store("parlivox.codexCLIModel", "GPT-5-CODEX");
    EXPECT_EQ(reload().codexCLIModel(), "GPT-5-CODEX");
}

TEST_F(AppSettingsTest, ApiKeysFallBackToTheEnvironmentWithoutStoringIt)
{
    const AppSettings::Environment environment{QStringLiteral("sk-env"), QStringLiteral("nv-env"),
                                               QStringLiteral("ko_KR")};
    AppSettings& s = reload(environment);
    EXPECT_EQ(s.openAIAPIKey(), "sk-env");
    EXPECT_EQ(s.nvidiaAPIKey(), "nv-env");
    EXPECT_FALSE(UserDefaults(path()).contains("parlivox.openAIAPIKey"));

    s.setOpenAIAPIKey(s.openAIAPIKey());
    EXPECT_EQ(UserDefaults(path()).string("parlivox.openAIAPIKey"), QStringLiteral("sk-env"));

    store("parlivox.nvidiaAPIKey", "");
    EXPECT_EQ(reload(environment).nvidiaAPIKey(), "") << "an empty stored key counts as stored";
}

TEST_F(AppSettingsTest, InterfaceLanguageFollowsTheSystemOnlyWhenNothingIsStored)
{
    const std::pair<const char*, AppLanguage> cases[] = {
        {"zh_TW", AppLanguage::chineseSimplified},
        {"zh_CN", AppLanguage::chineseSimplified},
        {"fi_FI", AppLanguage::korean},
        {"C", AppLanguage::korean},
        {"en_GB", AppLanguage::english},
        {"pt_BR", AppLanguage::portuguese},
        {"sv_SE.UTF-8", AppLanguage::swedish},
        {"", AppLanguage::korean},
    };
    for (const auto& [locale, expected] : cases)
        EXPECT_EQ(reload({{}, {}, QString::fromLatin1(locale)}).uiLanguage(), expected) << locale;

    store("parlivox.uiLanguage", "zh-Hant");
    EXPECT_EQ(reload({{}, {}, QStringLiteral("en_US")}).uiLanguage(), AppLanguage::chineseTraditional);
}

TEST_F(AppSettingsTest, SkillSwitchesRoundTripWithZeroOneAndTwoIds)
{
    AppSettings& s = reload();
    s.setSkill("mail.compose", false);
    EXPECT_EQ(reload().disabledSkillIDs(), QSet<QString>{"mail.compose"});
    reload().setSkill("calendar.list_today", false);
    EXPECT_EQ(reload().disabledSkillIDs(), (QSet<QString>{"mail.compose", "calendar.list_today"}));
    AppSettings& again = reload();
    EXPECT_FALSE(again.isSkillEnabled("mail.compose"));
    again.setSkill("mail.compose", true);
    again.setSkill("calendar.list_today", true);
    again.setSkill("never.disabled", true);
    EXPECT_TRUE(reload().disabledSkillIDs().isEmpty());
    EXPECT_EQ(UserDefaults(path()).stringArray("parlivox.disabledSkillIDs"), QStringList());
}

TEST_F(AppSettingsTest, ClearingTheAvatarImageRemovesItsKey)
{
    AppSettings& s = reload();
    s.setAvatarImageName(QStringLiteral("avatar-ABCD1234.png"));
    ASSERT_TRUE(UserDefaults(path()).contains("parlivox.avatarImageName"));
    s.setAvatarImageName(std::nullopt);
    EXPECT_FALSE(UserDefaults(path()).contains("parlivox.avatarImageName"));
    EXPECT_EQ(reload().avatarImageName(), std::nullopt);
}

TEST_F(AppSettingsTest, PersonaPerModeFallsBackToTheCatalogDefault)
{
    AppSettings& s = reload();
    EXPECT_EQ(s.nemotronPersonaID(AppMode::minutes), "a1b2c3d4-mins-default");
    EXPECT_EQ(s.nemotronPersonaID(AppMode::translate), "a1b2c3d4-conv-default");
    s.setNemotronPersonaID("", AppMode::minutes);
    EXPECT_EQ(s.nemotronPersonaID(AppMode::minutes), "a1b2c3d4-mins-default");
    s.setNemotronPersonaID("my-persona", AppMode::brainstorm);
    EXPECT_EQ(reload().nemotronPersonaID(AppMode::brainstorm), "my-persona");
    EXPECT_EQ(reload().nemotronPersonaIDByMode().value("minutes"), "") << "an empty id is stored as given";
}

TEST_F(AppSettingsTest, EffectiveLocalesDependOnTranslateMode)
{
    AppSettings& s = reload();
    s.setLocaleID("ja-JP");
    for (AppMode mode : allCases<AppMode>()) {
        s.setAppMode(mode);
        const bool translate = mode == AppMode::translate;
        EXPECT_EQ(s.effectiveSTTLocale(), translate ? "en-US" : "ja-JP");
        EXPECT_EQ(s.effectiveTTSLocale(), translate ? "ko-KR" : "ja-JP");
    }
}

TEST(AppSettingsOnAFailingDisk, AChangeThatCannotBeSavedIsReportedWithItsCauseAndTheFileKept)
{
    DiskFault::expectReports(
        [](DiskFault& disk) {
            UserDefaults defaults(disk.folder() + "/defaults.json");
            AppSettings settings(defaults, {});
            settings.setOpenAIAPIKey("sk-kept");
            const auto before = FileIO::readAll(defaults.filePath());
            QStringList causes;
            QObject::connect(&settings, &AppSettings::saveFailed, [&](const QString& cause) { causes << cause; });
            disk.begin();
            settings.setAssistantName(QString(5000, u'x'));
            disk.end();
            return QStringList{causes.join("|"), FileIO::readAll(defaults.filePath()) == before ? "kept" : "changed",
                               UserDefaults(defaults.filePath()).string("parlivox.openAIAPIKey").value_or("lost")};
        },
        [](const QString& cause) {
            return QStringList{cause, "kept", "sk-kept"};
        });
}
