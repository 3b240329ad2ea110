#include "UI/Agent/AvatarPicker.h"

#include "Persistence/AppSettings.h"
#include "Support/BuildInfo.h"
#include "Support/DesktopWorkspace.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Clipboard.h"
#include "UI/Kit/Dialogs.h"
#include "UI/Kit/Icons.h"
#include "UI/Kit/PlainTextLabel.h"
#include "UI/Kit/Theme.h"
#include "UI/Models/AvatarPickerModel.h"
#include "UI/Settings/LocalizedTexts.h"
#include "UI/Settings/TextStyle.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace {
QPushButton* button(const char* objectName, const char* symbol)
{
    auto* button = new QPushButton(Icons::symbol(QLatin1String(symbol)), QString());
    button->setObjectName(QLatin1String(objectName));
    return button;
}
}  // namespace

AvatarPicker::AvatarPicker(AppContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_texts(new LocalizedTexts(context.settings, this)),
      m_share(button("shareAvatarButton", "square.and.arrow.up")),
      m_reset(button("resetAvatarButton", "arrow.uturn.backward.circle")),
      m_importError(TextStyle::makeLabel(TextStyle::Size::caption2, TextTint(ThemePalette::Named::red), context.theme)),
      m_shareStatus(TextStyle::makeLabel(TextStyle::Size::caption2, TextTint::secondary(), context.theme))
{
    setObjectName(QStringLiteral("avatarPicker"));
    QPushButton* upload = button("uploadAvatarButton", "photo.badge.plus");
    m_texts->button(*upload, QStringLiteral("btn.upload_image"));
    m_texts->button(*m_share, QStringLiteral("avatar.share"));
    m_texts->button(*m_reset, QStringLiteral("btn.reset"));
    connect(upload, &QPushButton::clicked, this, &AvatarPicker::openFilePicker);
    connect(m_share, &QPushButton::clicked, this, &AvatarPicker::share);
    connect(m_reset, &QPushButton::clicked, this, &AvatarPicker::reset);
    TextStyle::setTint(*m_reset, TextTint(ThemePalette::Named::red), context.theme);  // it deletes the picture

    m_importError->setObjectName(QStringLiteral("avatarImportError"));
    m_shareStatus->setObjectName(QStringLiteral("avatarShareStatus"));
    m_importError->hide();
    m_shareStatus->hide();
    PlainTextLabel* note = TextStyle::makeLabel(TextStyle::Size::caption2, TextTint::secondary(), context.theme);
    m_texts->label(*note, QStringLiteral("avatar.image_help"));

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addWidget(upload);
    buttons->addWidget(m_share);
    buttons->addWidget(m_reset);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addLayout(buttons);
    layout->addWidget(m_importError);
    layout->addWidget(m_shareStatus);
    layout->addWidget(note);

    showPicture();
    connect(&context.settings, &AppSettings::avatarImageNameChanged, this, &AvatarPicker::showPicture);
}

void AvatarPicker::openFilePicker()
{
    const AppLanguage language = m_context.settings.uiLanguage();
    const auto path = m_context.dialogs.chooseFile(this, m_texts->t(QStringLiteral("avatar.choose_title")),
                                                   AvatarPickerModel::nameFilter(language));
    if (!path)
        return;
    const std::optional<QString> error = AvatarPickerModel::importPicture(m_context.settings, *path, language);
    m_importError->setText(error.value_or(QString()));
    m_importError->setVisible(error.has_value());
}

void AvatarPicker::share()
{
    const std::optional<QImage> picture = AvatarPickerModel::picture(m_context.settings);
    QString statusKey;
    if (!picture) {
        statusKey = QStringLiteral("avatar.share_none");
    } else {
        m_context.clipboard.setImage(*picture);
        const QUrl address = AvatarPickerModel::shareAddress(BuildInfo::version(), m_context.settings.uiLanguage());
        statusKey = m_context.workspace.openUrl(address) ? QStringLiteral("avatar.share_opened")
                                                         : QStringLiteral("avatar.share_failed");
    }
    m_shareStatus->setText(m_texts->t(statusKey));
    m_shareStatus->show();
}

void AvatarPicker::reset()
{
    AvatarPickerModel::reset(m_context.settings);
}

void AvatarPicker::showPicture()
{
    const bool named = m_context.settings.avatarImageName().has_value();
    m_share->setVisible(named);
    m_reset->setVisible(named);
}
