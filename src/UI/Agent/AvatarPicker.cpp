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
QPushButton* button(const char* objectName, const QString& text, const char* symbol)
{
    auto* button = new QPushButton(Icons::symbol(QLatin1String(symbol)), text);
    button->setObjectName(QLatin1String(objectName));
    return button;
}
}  // namespace

AvatarPicker::AvatarPicker(AppContext& context, QWidget* parent)
    : QWidget(parent), m_context(context),
      m_share(button("shareAvatarButton", QStringLiteral("내 아바타 자랑하기"), "square.and.arrow.up")),
      m_reset(button("resetAvatarButton", QStringLiteral("Reset"), "arrow.uturn.backward.circle")),
      m_importError(TextStyle::makeLabel(TextStyle::Size::caption2, TextTint(ThemePalette::Named::red), context.theme)),
      m_shareStatus(TextStyle::makeLabel(TextStyle::Size::caption2, TextTint::secondary(), context.theme))
{
    setObjectName(QStringLiteral("avatarPicker"));
    QPushButton* upload = button("uploadAvatarButton", QStringLiteral("Upload image…"), "photo.badge.plus");
    connect(upload, &QPushButton::clicked, this, &AvatarPicker::openFilePicker);
    connect(m_share, &QPushButton::clicked, this, &AvatarPicker::share);
    connect(m_reset, &QPushButton::clicked, this, &AvatarPicker::reset);
    TextStyle::setTint(*m_reset, TextTint(ThemePalette::Named::red), context.theme);  // it deletes the picture

    m_importError->setObjectName(QStringLiteral("avatarImportError"));
    m_shareStatus->setObjectName(QStringLiteral("avatarShareStatus"));
    m_importError->hide();
    m_shareStatus->hide();
    PlainTextLabel* note = TextStyle::makeLabel(TextStyle::Size::caption2, TextTint::secondary(), context.theme);
    (new LocalizedTexts(context.settings, this))->label(*note, QStringLiteral("avatar.image_help"));

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
    const auto path =
        m_context.dialogs.chooseFile(this, QStringLiteral("Choose a portrait image to use as your assistant avatar."),
                                     AvatarPickerModel::nameFilter());
    if (!path)
        return;
    const std::optional<QString> error = AvatarPickerModel::importPicture(m_context.settings, *path);
    m_importError->setText(error.value_or(QString()));
    m_importError->setVisible(error.has_value());
}

void AvatarPicker::share()
{
    const std::optional<QImage> picture = AvatarPickerModel::picture(m_context.settings);
    QString status;
    if (!picture) {
        status = QStringLiteral("공유할 아바타가 없어요.");
    } else {
        m_context.clipboard.setImage(*picture);
        status = m_context.workspace.openUrl(AvatarPickerModel::shareAddress(BuildInfo::version()))
                     ? QStringLiteral("브라우저가 열렸어요. 본문에 Ctrl+V 로 이미지 붙여넣고 'Start discussion' 클릭.")
                     : QStringLiteral("브라우저를 열 수 없어요.");
    }
    m_shareStatus->setText(status);
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
