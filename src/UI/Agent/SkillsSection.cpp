#include "UI/Agent/SkillsSection.h"

#include "Persistence/AppSettings.h"
#include "Pipeline/AppServices.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/PlainTextLabel.h"
#include "UI/Kit/SettingBinding.h"

#include <QCheckBox>
#include <QHBoxLayout>

SkillsSection::SkillsSection(AppContext& context, QWidget* parent)
    : SettingsSection(context, QStringLiteral("skillsSection"), parent)
{
    setTitle(QStringLiteral("settings.section.skills"));
    texts().label(*addNote(TextTint::secondary()), QStringLiteral("settings.skills_help"));

    for (const std::shared_ptr<Skill>& skill : context.services.skills.allSkills()) {
        const QString id = skill->id();
        auto* box = new QCheckBox;
        box->setObjectName(QStringLiteral("skillToggle-") + id);
        TextStyle::setSize(*box, TextStyle::Size::callout, true);
        texts().button(*box, skill->nameKey());
        SettingBinding::toggle(
            *box, context.settings, [id](const AppSettings& s) { return s.isSkillEnabled(id); },
            [id](AppSettings& s, bool enabled) { s.setSkill(id, enabled); }, &AppSettings::disabledSkillIDsChanged);

        auto* row = new QWidget;
        auto* column = new QVBoxLayout(row);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(2);
        auto* title = new QHBoxLayout;
        title->setSpacing(6);
        title->addWidget(box);
        if (skill->requiresConfirmation()) {
            PlainTextLabel* badge = makeLabel(TextStyle::Size::caption2, TextTint(ThemePalette::Named::orange));
            badge->setText(QStringLiteral("⚠"));
            texts().toolTip(*badge, QStringLiteral("settings.skill_asks_first"));
            title->addWidget(badge);
        }
        title->addStretch(1);
        column->addLayout(title);
        PlainTextLabel* example = makeHelp(*box);
        texts().add(skill->exampleKey(), [example, box](const QString& text) {
            example->setText(text);
            box->setAccessibleDescription(text);
        });
        column->addWidget(example);
        addRow(row);
    }
}
