// The agent tab: every control writes its setting and follows changes made elsewhere; skills
// switched off reach the disabled skills; the persona files follow the speech language.
#include "UI/Agent/AgentTab.h"

#include "Common/QtPrinters.h"
#include "Persistence/L10n.h"
#include "Persona/NemotronPersonaCatalog.h"
#include "Persona/PersonaStore.h"
#include "UI/Agent/TestSkills.h"
#include "UI/BoundControls.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {
using S = AppSettings;

TEST(AgentTab, everyControlWritesItsSettingAndFollowsChangesElsewhere)
{
    UiTestContext ui;
    ui.synthesizer->installed = {{"ko", "Korean", "ko"}, {"ko+f3", "Korean, female", "ko"}};
    addSystemSkills(ui.services.skills);
    AgentTab tab(ui.context);
    const QString conversation = NemotronPersonaCatalog::defaultID(AppMode::conversation);
    const QString minutes = NemotronPersonaCatalog::defaultID(AppMode::minutes);
    const auto chosen = [](AppMode mode) {
        return [mode](const AppSettings& s) { return NemotronPersonaCatalog::chosenID(s, mode); };
    };
    const auto choose = [](AppMode mode) {
        return [mode](S& s, const QString& id) { s.setNemotronPersonaID(id, mode); };
    };
    const auto skill = [](const QString& id) {
        return std::pair{[id](const S& s) { return s.isSkillEnabled(id); },
                         [id](S& s, bool on) { s.setSkill(id, on); }};
    };
    const auto [mailOn, setMail] = skill("mail.compose");
    const BoundControl table[] = {
        setting("avatarStylePicker", &S::avatarStyle, &S::setAvatarStyle, "cat", "bear"),
        setting("avatarGenderPicker", &S::avatarGender, &S::setAvatarGender, "male", "female"),
        setting("voicePicker", &S::selectedVoiceID, &S::setSelectedVoiceID, "ko+f3", ""),
        setting("assistantNameField", &S::assistantName, &S::setAssistantName, "Sora", ""),
        setting("personaPicker-minutes", chosen(AppMode::minutes), choose(AppMode::minutes), conversation, minutes),
        setting("personaPicker-translate", chosen(AppMode::translate), choose(AppMode::translate), minutes,
                conversation),
        setting("skillToggle-mail.compose", mailOn, setMail, "false", "true"),
    };
    for (const BoundControl& row : table)
        expectBound(tab, ui, row);
}

TEST(AgentTab, skillsSwitchedOffReachTheDisabledSkills)
{
    UiTestContext ui;
    addSystemSkills(ui.services.skills);
    ui.settings.setDisabledSkillIDs({"retired.skill"});
    AgentTab tab(ui.context);
    const auto toggle = [&tab](const char* id) {
        tab.findChild<QAbstractButton*>(QStringLiteral("skillToggle-") + id)->click();
    };
    toggle("calendar.create_event");
    toggle("system.rest");
    EXPECT_EQ(ui.settings.disabledSkillIDs(), QSet<QString>({"retired.skill", "calendar.create_event", "system.rest"}));
    toggle("calendar.create_event");
    EXPECT_EQ(ui.settings.disabledSkillIDs(), QSet<QString>({"retired.skill", "system.rest"}));
}

TEST(AgentTab, personaFilesFollowTheSpeechLanguage)
{
    UiTestContext ui;
    AgentTab tab(ui.context);
    for (const auto& [locale, code] : {std::pair{"ja-JP", "ja"}, {"zh-Hant-HK", "zh-Hant"}, {"", "en"}}) {
        SCOPED_TRACE(locale);
        ui.settings.setLocaleID(locale);
        EXPECT_EQ(tab.findChild<QLabel*>("personaLanguage")->text(),
                  L10n::t("settings.persona_files", AppLanguage::english).arg(code));
        EXPECT_EQ(tab.findChild<QLabel*>("soulFileName")->text(), QString("soul.%1.md").arg(code));
        tab.findChild<QPushButton*>("contractRevealButton")->click();
        EXPECT_EQ(ui.workspace.revealed.last(), PersonaStore::contractPath(code));
    }
    tab.findChild<QPushButton*>("revealMemoryButton")->click();
    EXPECT_EQ(ui.workspace.revealed.last(), PersonaStore::memoryPath());
}

}  // namespace
