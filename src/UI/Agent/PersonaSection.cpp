#include "UI/Agent/PersonaSection.h"

#include "Persistence/AppSettings.h"
#include "Persona/PersonaStore.h"
#include "Support/DesktopWorkspace.h"
#include "UI/Agent/NemotronModePersonaRow.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/PlainTextLabel.h"
#include "UI/Kit/SettingBinding.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

namespace {
using S = AppSettings;

}  // namespace

PersonaSection::PersonaSection(AppContext& context, QWidget* parent)
    : SettingsSection(context, QStringLiteral("personaSection"), parent)
{
    S& settings = context.settings;
    setTitle(QStringLiteral("settings.section.persona"));

    auto* name = makeControl<QLineEdit>("assistantNameField", 200);
    texts().placeholder(*name, QStringLiteral("settings.assistant_name_placeholder"), false);
    SettingBinding::text(*name, settings, &S::assistantName, &S::setAssistantName, &S::assistantNameChanged);
    addLabelledRow(QStringLiteral("settings.assistant_name"), {name}, name);

    PlainTextLabel* language = makeLabel(TextStyle::Size::caption, TextTint::secondary());
    language->setObjectName(QStringLiteral("personaLanguage"));
    const auto showLanguage = [this, language] {
        language->setText(texts().t(QStringLiteral("settings.persona_files")).arg(languageCode()));
    };
    SettingBinding::follow(*language, settings, &S::localeIDChanged, showLanguage);
    texts().follow(showLanguage);
    addRow(rowOf({makeSymbol("globe"), language, nullptr}));

    addFileRow(QStringLiteral("soul"), QStringLiteral("settings.persona_soul"),
               QStringLiteral("settings.persona_soul_help"), &PersonaStore::soulPath);
    addFileRow(QStringLiteral("contract"), QStringLiteral("settings.persona_contract"),
               QStringLiteral("settings.persona_contract_help"), &PersonaStore::contractPath);

    auto* reset = new QPushButton;
    reset->setObjectName(QStringLiteral("resetPersonaButton"));
    texts().button(*reset, QStringLiteral("settings.persona_reset"));
    connect(reset, &QPushButton::clicked, this, [this] { PersonaStore::resetToDefaults(languageCode()); });
    addRow(rowOf({nullptr, reset}));

    PlainTextLabel* nemotron = makeLabel(TextStyle::Size::callout);
    TextStyle::setSize(*nemotron, TextStyle::Size::callout, true);
    texts().label(*nemotron, QStringLiteral("settings.nemotron"));
    addRow(nemotron);
    texts().label(*addNote(TextTint::secondary()), QStringLiteral("settings.nemotron_help"));
    for (const AppMode mode : allCases<AppMode>())
        addRow(new NemotronModePersonaRow(context, mode));
    texts().label(*addNote(TextTint::secondary(), TextStyle::Size::caption2),
                  QStringLiteral("settings.nemotron_attribution"));
}

QString PersonaSection::languageCode() const
{
    return PersonaStore::languageCode(context().settings.localeID());
}

void PersonaSection::addFileRow(const QString& name, const QString& titleKey, const QString& helpKey,
                                QString (*path)(const QString& language))
{
    S& settings = context().settings;
    PlainTextLabel* title = makeLabel(TextStyle::Size::callout);
    TextStyle::setSize(*title, TextStyle::Size::callout, true);
    title->setWordWrap(false);
    texts().label(*title, titleKey);
    PlainTextLabel* file = makeLabel(TextStyle::Size::caption2, TextTint::secondary());
    file->setObjectName(name + QStringLiteral("FileName"));
    TextStyle::setMonospace(*file);
    SettingBinding::follow(*file, settings, &S::localeIDChanged,
                           [this, file, path] { file->setText(QFileInfo(path(languageCode())).fileName()); });
    auto* reveal = new QPushButton;
    reveal->setObjectName(name + QStringLiteral("RevealButton"));
    texts().add(QStringLiteral("settings.persona_reveal"), [reveal, title](const QString& text) {
        reveal->setText(text);
        reveal->setAccessibleName(text + QStringLiteral(": ") + title->text());
    });
    connect(reveal, &QPushButton::clicked, this,
            [this, path] { context().workspace.revealFile(path(languageCode())); });
    addRow(rowOf({makeSymbol("doc.text"), title, file, nullptr, reveal}));
    texts().label(*addNote(TextTint::secondary()), helpKey);
}
