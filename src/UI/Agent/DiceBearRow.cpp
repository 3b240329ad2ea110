#include "UI/Agent/DiceBearRow.h"

#include "UI/App/AppContext.h"
#include "UI/Kit/Icons.h"
#include "UI/Kit/Picker.h"
#include "UI/Kit/PlainTextLabel.h"
#include "UI/Models/AvatarDownload.h"
#include "UI/Settings/LocalizedTexts.h"
#include "UI/Settings/PickerFill.h"
#include "UI/Settings/TextStyle.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

DiceBearRow::DiceBearRow(AppContext& context, const QUrl& service, QWidget* parent)
    : QWidget(parent), m_texts(new LocalizedTexts(context.settings, this)),
      m_download(new AvatarDownload(context.settings, context.scheduler, service, this)), m_style(new Picker),
      m_seed(new QLineEdit), m_button(new QPushButton),
      m_error(TextStyle::makeLabel(TextStyle::Size::caption2, TextTint(ThemePalette::Named::red), context.theme))
{
    setObjectName(QStringLiteral("diceBearRow"));
    PlainTextLabel* title = TextStyle::makeLabel(TextStyle::Size::callout, std::nullopt, context.theme);
    TextStyle::setSize(*title, TextStyle::Size::callout, true);
    m_texts->label(*title, QStringLiteral("settings.dicebear"), m_style);
    title->setBuddy(m_style);
    PlainTextLabel* help = TextStyle::makeLabel(TextStyle::Size::caption, TextTint::secondary(), context.theme);
    // The help says what the seed does, so it labels the seed's field.
    m_texts->label(*help, QStringLiteral("settings.dicebear_help"));
    help->setBuddy(m_seed);

    m_style->setObjectName(QStringLiteral("diceBearStylePicker"));
    m_style->setFixedWidth(160);
    PickerItems styles;
    for (const DiceBearClient::Style style : allCases<DiceBearClient::Style>())
        styles << PickerItem::choice(displayName(style), rawValue(style));
    PickerFill::fill(*m_style, styles);
    m_style->setCurrentIndex(m_style->findData(rawValue(m_download->style())));
    connect(m_style, &Picker::currentIndexChanged, this, [this](int index) {
        if (const auto style = fromRawValue<DiceBearClient::Style>(m_style->itemData(index).toString()))
            m_download->setStyle(*style);
    });

    m_seed->setObjectName(QStringLiteral("diceBearSeedField"));
    m_seed->setMinimumWidth(140);
    m_texts->placeholder(*m_seed, QStringLiteral("settings.dicebear_seed_placeholder"), true);
    connect(m_seed, &QLineEdit::textEdited, m_download, &AvatarDownload::setSeed);

    m_button->setObjectName(QStringLiteral("diceBearDownloadButton"));
    m_button->setIcon(Icons::symbol(QStringLiteral("arrow.down.circle.fill")));
    m_texts->add(QStringLiteral("btn.generate_image"), [this](const QString& text) { m_button->setToolTip(text); });
    connect(m_button, &QPushButton::clicked, m_download, &AvatarDownload::start);

    m_error->setObjectName(QStringLiteral("diceBearError"));
    auto* inputs = new QHBoxLayout;
    inputs->setSpacing(8);
    inputs->addWidget(m_style);
    inputs->addWidget(m_seed, 1);
    inputs->addWidget(m_button);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 4);
    layout->setSpacing(6);
    layout->addWidget(title);
    layout->addWidget(help);
    layout->addLayout(inputs);
    layout->addWidget(m_error);

    connect(m_download, &AvatarDownload::changed, this, &DiceBearRow::showState);
    m_texts->follow([this] { showState(); });
}

void DiceBearRow::showState()
{
    const bool loading = m_download->isLoading();
    m_button->setEnabled(!loading);
    m_button->setText(m_texts->t(loading ? QStringLiteral("settings.dicebear_downloading")
                                         : QStringLiteral("settings.dicebear_download")));
    const std::optional<QString>& error = m_download->lastError();
    m_error->setText(error ? m_texts->t(QStringLiteral("settings.dicebear_failed")) + QStringLiteral(": ") + *error
                           : QString());
    m_error->setVisible(error.has_value());
}
