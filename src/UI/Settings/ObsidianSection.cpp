#include "UI/Settings/ObsidianSection.h"

#include "Persistence/AppSettings.h"
#include "Storage/ObsidianSync.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Dialogs.h"
#include "UI/Kit/PlainTextLabel.h"
#include "UI/Kit/SettingBinding.h"
#include "UI/Models/CoreTexts.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

namespace {
using S = AppSettings;
}  // namespace

ObsidianSection::ObsidianSection(AppContext& context, QWidget* parent)
    : SettingsSection(context, QStringLiteral("obsidianSection"), parent)
{
    S& settings = context.settings;
    setFixedTitle(QStringLiteral("Obsidian"));
    const auto pathField = [](const char* name, const QString& placeholder) {
        auto* edit = makeControl<QLineEdit>(name, 280);
        edit->setPlaceholderText(placeholder);
        return edit;
    };

    QLineEdit* vault = pathField("vaultPathField", QStringLiteral("~/Obsidian/Vault"));
    SettingBinding::text(*vault, settings, &S::obsidianVaultPath, &S::setObsidianVaultPath,
                         &S::obsidianVaultPathChanged);
    auto* choose = new QPushButton;
    choose->setObjectName(QStringLiteral("chooseVaultButton"));
    texts().button(*choose, QStringLiteral("obsidian.choose"));
    connect(choose, &QPushButton::clicked, this, &ObsidianSection::pickFolder);
    addLabelledRow(QStringLiteral("obsidian.vault"), {vault, choose}, vault);

    QLineEdit* subfolder = pathField("subfolderField", QStringLiteral("Parlivox"));
    SettingBinding::text(*subfolder, settings, &S::obsidianSubfolder, &S::setObsidianSubfolder,
                         &S::obsidianSubfolderChanged);
    addLabelledRow(QStringLiteral("obsidian.subfolder"), {subfolder}, subfolder);

    SettingBinding::toggle(*addToggle(QStringLiteral("syncMeetingsToggle"), QStringLiteral("obsidian.sync_meetings")),
                           settings, &S::obsidianSyncMeetings, &S::setObsidianSyncMeetings,
                           &S::obsidianSyncMeetingsChanged);
    SettingBinding::toggle(
        *addToggle(QStringLiteral("syncConversationsToggle"), QStringLiteral("obsidian.sync_conversations")), settings,
        &S::obsidianSyncConversations, &S::setObsidianSyncConversations, &S::obsidianSyncConversationsChanged);
    SettingBinding::toggle(*addToggle(QStringLiteral("syncMemoriesToggle"), QStringLiteral("obsidian.sync_memories")),
                           settings, &S::obsidianSyncMemories, &S::setObsidianSyncMemories,
                           &S::obsidianSyncMemoriesChanged);
    SettingBinding::toggle(
        *addToggle(QStringLiteral("syncTranslationsToggle"), QStringLiteral("obsidian.sync_translations")), settings,
        &S::obsidianSyncTranslations, &S::setObsidianSyncTranslations, &S::obsidianSyncTranslationsChanged);

    // The subfolder is shown as code; it is the user's text, so it is escaped.
    m_note = new QLabel;
    m_note->setObjectName(QStringLiteral("vaultNote"));
    m_note->setTextFormat(Qt::RichText);
    m_note->setWordWrap(true);
    TextStyle::setSize(*m_note, TextStyle::Size::caption);
    TextStyle::setTint(*m_note, TextTint::secondary(), context.theme);
    const auto showNote = [this, &settings] {
        const QString folder = QStringLiteral("<code>%1/</code>").arg(settings.obsidianSubfolder().toHtmlEscaped());
        m_note->setText(texts().t(QStringLiteral("obsidian.note")).toHtmlEscaped().arg(folder));
    };
    SettingBinding::follow(*m_note, settings, &S::obsidianSubfolderChanged, showNote);
    texts().follow(showNote);
    addRow(m_note);

    m_validation = addNote(TextTint(ThemePalette::Named::orange));
    m_validation->setObjectName(QStringLiteral("vaultValidation"));
    m_validation->hide();
    connect(&settings, &S::obsidianVaultPathChanged, this, &ObsidianSection::validate);
    connect(&settings, &S::uiLanguageChanged, this, [this] {
        if (!m_validation->isHidden())
            validate();
    });
}

void ObsidianSection::pickFolder()
{
    const QString title = texts().t(QStringLiteral("obsidian.choose_title"));
    if (const auto folder =
            context().dialogs.chooseDirectory(this, title, texts().t(QStringLiteral("obsidian.choose"))))
        context().settings.setObsidianVaultPath(*folder);
}

void ObsidianSection::validate()
{
    const std::optional<QString> message = ObsidianSync::validate(context().settings.obsidianVaultPath());
    m_validation->setText(message ? CoreTexts::shown(*message, context().settings.uiLanguage()) : QString());
    m_validation->setVisible(message.has_value());
}
