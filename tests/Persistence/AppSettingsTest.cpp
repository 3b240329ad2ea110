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
    EXPECT_TRUE(s.telemetryEnabled());
    EXPECT_EQ(s.openAIAPIKey(), "");
    EXPECT_EQ(s.ollamaBaseURL(), "http://127.0.0.1:11434");
    EXPECT_TRUE(s.obsidianSyncMeetings() && s.obsidianSyncMemories());
    EXPECT_FALSE(s.obsidianSyncConversations() || s.obsidianSyncTranslations());
    EXPECT_EQ(s.avatarImageName(), std::nullopt);
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
    std::vector<Row> rows;
    const struct {
        const char* name;
        void (AppSettings::*set)(const QString&);
        QString (AppSettings::*get)() const;
    } texts[] = {
        {"localeID", &AppSettings::setLocaleID, &AppSettings::localeID},
        {"openAIAPIKey", &AppSettings::setOpenAIAPIKey, &AppSettings::openAIAPIKey},
        {"openAIModel", &AppSettings::setOpenAIModel, &AppSettings::openAIModel},
        {"claudeCLIModel", &AppSettings::setClaudeCLIModel, &AppSettings::claudeCLIModel},
        {"codexCLIModel", &AppSettings::setCodexCLIModel, &AppSettings::codexCLIModel},
        {"geminiCLIModel", &AppSettings::setGeminiCLIModel, &AppSettings::geminiCLIModel},
        {"cursorAgentModel", &AppSettings::setCursorAgentModel, &AppSettings::cursorAgentModel},
        {"kimiCLIModel", &AppSettings::setKimiCLIModel, &AppSettings::kimiCLIModel},
        {"opencodeCLIModel", &AppSettings::setOpencodeCLIModel, &AppSettings::opencodeCLIModel},
        {"ostrelCLIModel", &AppSettings::setOstrelCLIModel, &AppSettings::ostrelCLIModel},
        {"nvidiaAPIKey", &AppSettings::setNvidiaAPIKey, &AppSettings::nvidiaAPIKey},
        {"nvidiaModel", &AppSettings::setNvidiaModel, &AppSettings::nvidiaModel},
        {"lmStudioBaseURL", &AppSettings::setLmStudioBaseURL, &AppSettings::lmStudioBaseURL},
        {"lmStudioModel", &AppSettings::setLmStudioModel, &AppSettings::lmStudioModel},
        {"ollamaBaseURL", &AppSettings::setOllamaBaseURL, &AppSettings::ollamaBaseURL},
        {"ollamaModel", &AppSettings::setOllamaModel, &AppSettings::ollamaModel},
        {"translateSourceLocale", &AppSettings::setTranslateSourceLocale, &AppSettings::translateSourceLocale},
        {"translateTargetLocale", &AppSettings::setTranslateTargetLocale, &AppSettings::translateTargetLocale},
        {"obsidianVaultPath", &AppSettings::setObsidianVaultPath, &AppSettings::obsidianVaultPath},
        {"obsidianSubfolder", &AppSettings::setObsidianSubfolder, &AppSettings::obsidianSubfolder},
        {"selectedVoiceID", &AppSettings::setSelectedVoiceID, &AppSettings::selectedVoiceID},
        {"assistantName", &AppSettings::setAssistantName, &AppSettings::assistantName},
        {"microphoneDeviceUID", &AppSettings::setMicrophoneDeviceUID, &AppSettings::microphoneDeviceUID},
    };
    for (const auto& t : texts) {
        const QString value = QStringLiteral("값 ✓ ") + QLatin1String(t.name);
        rows.push_back({t.name, [&t, value](AppSettings& s) { (s.*t.set)(value); },
                        [&t, value](const AppSettings& s) { return (s.*t.get)() == value; }});
    }
    const struct {
        const char* name;
        void (AppSettings::*set)(bool);
        bool (AppSettings::*get)() const;
    } switches[] = {
        {"phaseSoundsEnabled", &AppSettings::setPhaseSoundsEnabled, &AppSettings::phaseSoundsEnabled},
        {"rightOptionInterruptEnabled", &AppSettings::setRightOptionInterruptEnabled,
         &AppSettings::rightOptionInterruptEnabled},
        {"obsidianSyncMeetings", &AppSettings::setObsidianSyncMeetings, &AppSettings::obsidianSyncMeetings},
        {"obsidianSyncConversations", &AppSettings::setObsidianSyncConversations,
         &AppSettings::obsidianSyncConversations},
        {"obsidianSyncMemories", &AppSettings::setObsidianSyncMemories, &AppSettings::obsidianSyncMemories},
        {"obsidianSyncTranslations", &AppSettings::setObsidianSyncTranslations, &AppSettings::obsidianSyncTranslations},
        {"cameraGazeEnabled", &AppSettings::setCameraGazeEnabled, &AppSettings::cameraGazeEnabled},
        {"cameraGrayscaleProcessing", &AppSettings::setCameraGrayscaleProcessing,
         &AppSettings::cameraGrayscaleProcessing},
        {"bargeInEnabled", &AppSettings::setBargeInEnabled, &AppSettings::bargeInEnabled},
        {"diagnosticsLoggingEnabled", &AppSettings::setDiagnosticsLoggingEnabled,
         &AppSettings::diagnosticsLoggingEnabled},
        {"telemetryEnabled", &AppSettings::setTelemetryEnabled, &AppSettings::telemetryEnabled},
        {"probeStatsLoggingEnabled", &AppSettings::setProbeStatsLoggingEnabled, &AppSettings::probeStatsLoggingEnabled},
        {"probeTimelineRenderEnabled", &AppSettings::setProbeTimelineRenderEnabled,
         &AppSettings::probeTimelineRenderEnabled},
        {"probePauseSamplesAutoTrim", &AppSettings::setProbePauseSamplesAutoTrim,
         &AppSettings::probePauseSamplesAutoTrim},
    };
    for (const auto& b : switches) {
        const bool flipped = !(reload().*b.get)();
        rows.push_back({b.name, [&b, flipped](AppSettings& s) { (s.*b.set)(flipped); },
                        [&b, flipped](const AppSettings& s) { return (s.*b.get)() == flipped; }});
    }
    const std::vector<Row> others = {
        {"assistantProvider", [](AppSettings& s) { s.setAssistantProvider(AssistantProvider::openAI); },
         [](const AppSettings& s) { return s.assistantProvider() == AssistantProvider::openAI; }},
        {"avatarGender", [](AppSettings& s) { s.setAvatarGender(AvatarGender::male); },
         [](const AppSettings& s) { return s.avatarGender() == AvatarGender::male; }},
        {"avatarStyle", [](AppSettings& s) { s.setAvatarStyle(AvatarStyle::hamster); },
         [](const AppSettings& s) { return s.avatarStyle() == AvatarStyle::hamster; }},
        {"disabledSkillIDs",
         [](AppSettings& s) {
             s.setDisabledSkillIDs({"mail.compose", "rest"});
         },
         [](const AppSettings& s) {
             return s.disabledSkillIDs() == QSet<QString>{"mail.compose", "rest"};
         }},
        {"avatarImageName", [](AppSettings& s) { s.setAvatarImageName(QStringLiteral("avatar-1.png")); },
         [](const AppSettings& s) { return s.avatarImageName() == QStringLiteral("avatar-1.png"); }},
        {"nemotronPersonaIDByMode",
         [](AppSettings& s) {
             s.setNemotronPersonaIDByMode({{"minutes", "x"}});
         },
         [](const AppSettings& s) {
             return s.nemotronPersonaIDByMode() == QMap<QString, QString>{{"minutes", "x"}};
         }},
        {"appMode", [](AppSettings& s) { s.setAppMode(AppMode::translate); },
         [](const AppSettings& s) { return s.appMode() == AppMode::translate; }},
        {"uiLanguage", [](AppSettings& s) { s.setUiLanguage(AppLanguage::chineseTraditional); },
         [](const AppSettings& s) { return s.uiLanguage() == AppLanguage::chineseTraditional; }},
    };
    rows.insert(rows.end(), others.begin(), others.end());
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
    s.setAvatarImageName(QStringLiteral("avatar-ABCD1234.png"));
    s.setAvatarImageName(std::nullopt);
    EXPECT_FALSE(UserDefaults(path()).contains("parlivox.avatarImageName")) << "clearing removes the key";
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
        {"zh_TW", AppLanguage::chineseSimplified}, {"fi_FI", AppLanguage::korean},        {"C", AppLanguage::korean},
        {"en_GB", AppLanguage::english},           {"sv_SE.UTF-8", AppLanguage::swedish},
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
