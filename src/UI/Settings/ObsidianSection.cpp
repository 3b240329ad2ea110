#include "UI/Settings/ObsidianSection.h"

#include "Persistence/AppSettings.h"
#include "Storage/ObsidianSync.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Dialogs.h"
#include "UI/Kit/PlainTextLabel.h"
#include "UI/Kit/SettingBinding.h"

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

    QLineEdit* vault = pathField("vaultPathField", QStringLiteral("/home/you/Obsidian/MyVault"));
    SettingBinding::text(*vault, settings, &S::obsidianVaultPath, &S::setObsidianVaultPath,
                         &S::obsidianVaultPathChanged);
    auto* choose = new QPushButton(QStringLiteral("선택…"));
    choose->setObjectName(QStringLiteral("chooseVaultButton"));
    connect(choose, &QPushButton::clicked, this, &ObsidianSection::pickFolder);
    addFixedLabelledRow(QStringLiteral("Vault 경로"), rowOf({vault, choose}), vault);

    QLineEdit* subfolder = pathField("subfolderField", QStringLiteral("Parlivox"));
    SettingBinding::text(*subfolder, settings, &S::obsidianSubfolder, &S::setObsidianSubfolder,
                         &S::obsidianSubfolderChanged);
    addFixedLabelledRow(QStringLiteral("하위 폴더"), subfolder, subfolder);

    SettingBinding::toggle(*addFixedToggle(QStringLiteral("syncMeetingsToggle"), QStringLiteral("회의록 동기")),
                           settings, &S::obsidianSyncMeetings, &S::setObsidianSyncMeetings,
                           &S::obsidianSyncMeetingsChanged);
    SettingBinding::toggle(*addFixedToggle(QStringLiteral("syncConversationsToggle"), QStringLiteral("일반 대화 동기")),
                           settings, &S::obsidianSyncConversations, &S::setObsidianSyncConversations,
                           &S::obsidianSyncConversationsChanged);
    SettingBinding::toggle(*addFixedToggle(QStringLiteral("syncMemoriesToggle"), QStringLiteral("Memory 항목 동기")),
                           settings, &S::obsidianSyncMemories, &S::setObsidianSyncMemories,
                           &S::obsidianSyncMemoriesChanged);
    SettingBinding::toggle(*addFixedToggle(QStringLiteral("syncTranslationsToggle"), QStringLiteral("통역 대화 동기")),
                           settings, &S::obsidianSyncTranslations, &S::setObsidianSyncTranslations,
                           &S::obsidianSyncTranslationsChanged);

    // The subfolder is shown as code; it is the user's text, so it is escaped.
    m_note = new QLabel;
    m_note->setObjectName(QStringLiteral("vaultNote"));
    m_note->setTextFormat(Qt::RichText);
    m_note->setWordWrap(true);
    TextStyle::setSize(*m_note, TextStyle::Size::caption);
    TextStyle::setTint(*m_note, TextTint::secondary(), context.theme);
    SettingBinding::follow(*m_note, settings, &S::obsidianSubfolderChanged, [this, &settings] {
        m_note->setText(
            QStringLiteral("선택한 vault 의 <code>%1/</code> 하위에 markdown 으로 자동 저장. Obsidian plugin 불필요.")
                .arg(settings.obsidianSubfolder().toHtmlEscaped()));
    });
    addRow(m_note);

    m_validation = addNote(TextTint(ThemePalette::Named::orange));
    m_validation->setObjectName(QStringLiteral("vaultValidation"));
    m_validation->hide();
    connect(&settings, &S::obsidianVaultPathChanged, this, &ObsidianSection::validate);
}

void ObsidianSection::pickFolder()
{
    if (const auto folder = context().dialogs.chooseDirectory(
            this, QStringLiteral("Obsidian vault 폴더를 선택해주세요"), QStringLiteral("선택")))
        context().settings.setObsidianVaultPath(*folder);
}

void ObsidianSection::validate()
{
    const std::optional<QString> message = ObsidianSync::validate(context().settings.obsidianVaultPath());
    m_validation->setText(message.value_or(QString()));
    m_validation->setVisible(message.has_value());
}
