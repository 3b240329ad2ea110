#include "Common/ImageChecks.h"
#include "UI/Agent/AgentTab.h"
#include "UI/Agent/TestSkills.h"
#include "UI/Screenshots.h"
#include "UI/Settings/SettingsTab.h"
#include "UI/UiTestContext.h"

#include <QApplication>
#include <QDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {
using Screenshots::Appearance;

// What a machine of this kind offers: pocketsphinx's US English, espeak-ng voices of three
// languages, two microphones.
void furnish(UiTestContext& ui)
{
    ui.services.speechLocales = SpeechLocaleCatalog({QStringLiteral("en-US")});
    for (const auto& [id, name, language] : {std::tuple{"ko", "Korean", "ko"},
                                             {"en-us", "English (America)", "en-US"},
                                             {"en-gb", "English (Great Britain)", "en-GB"}}) {
        ui.synthesizer->installed << SpeechVoice{QLatin1String(id), QLatin1String(name), QLatin1String(language)}
                                  << SpeechVoice{QLatin1String(id) + QStringLiteral("+f3"),
                                                 QLatin1String(name) + QStringLiteral(", female"),
                                                 QLatin1String(language), VoiceGender::female};
    }
    ui.devices.devices = {{QStringLiteral("alsa_input.usb-Blue_Yeti"), QStringLiteral("Yeti Stereo Microphone")},
                          {QStringLiteral("alsa_input.pci-0000_00_1f.3"), QStringLiteral("Built-in Audio")}};
    addSystemSkills(ui.services.skills);
}

// A page in a state, drawn whole: as tall as its content at the window's narrowest width.
struct Scenario {
    const char* name;
    std::function<void(UiTestContext&)> state;
    std::function<std::unique_ptr<SettingsPage>(UiTestContext&)> build;
};

const Scenario kScenarios[] = {
    {"settings-page", [](UiTestContext&) {},
     [](UiTestContext& ui) { return std::make_unique<SettingsTab>(ui.context); }},
    {"settings-page-nvidia-vault",
     [](UiTestContext& ui) {
         ui.settings.setAssistantProvider(AssistantProvider::nvidiaNIM);
         ui.settings.setLocaleID(QStringLiteral("en-US"));
         ui.updater.reportCanCheck(false);
         ui.scheduler.runDue();
     },
     [](UiTestContext& ui) {
         auto tab = std::make_unique<SettingsTab>(ui.context);
         QFile::remove(ui.defaults.filePath());
         QDir().mkdir(ui.defaults.filePath());  // this change cannot be saved
         ui.settings.setObsidianVaultPath(QStringLiteral("/nowhere/Vault"));
         return tab;
     }},
    {"agent-page", [](UiTestContext&) {}, [](UiTestContext& ui) { return std::make_unique<AgentTab>(ui.context); }},
    {"agent-page-custom-english",
     [](UiTestContext& ui) {
         ui.settings.setLocaleID(QStringLiteral("en-US"));
         ui.settings.setAvatarImageName(QStringLiteral("avatar-0A1B2C3D.png"));
         ui.settings.setAvatarStyle(AvatarStyle::custom);
         ui.settings.setSkill(QStringLiteral("mail.compose"), false);
     },
     [](UiTestContext& ui) { return std::make_unique<AgentTab>(ui.context); }},
};

TEST(SettingsScreenshots, bothPagesWholeInBothLanguagesAndAppearances)
{
    for (const Scenario& scenario : kScenarios) {
        for (const AppLanguage language : {AppLanguage::english, AppLanguage::korean, AppLanguage::german}) {
            for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
                const QString name = QLatin1String(scenario.name) + Screenshots::suffix(language, appearance);
                SCOPED_TRACE(name.toStdString());
                Screenshots::prepare(appearance);
                UiTestContext ui;
                furnish(ui);
                ui.settings.setUiLanguage(language);
                scenario.state(ui);
                const std::unique_ptr<SettingsPage> page = scenario.build(ui);
                page->resize(800, 720);
                page->show();
                QApplication::processEvents();
                const QSize whole(800, page->widget()->heightForWidth(page->viewport()->width()));
                const QImage image = Screenshots::take(*page, whole, name);
                EXPECT_EQ(image.size(), whole);
                EXPECT_FALSE(isBlank(image));
                EXPECT_LE(page->widget()->minimumSizeHint().width(), 800) << "everything fits the narrowest window";
            }
        }
    }
    Screenshots::restore();
}

}  // namespace
