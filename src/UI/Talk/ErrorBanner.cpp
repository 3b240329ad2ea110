#include "UI/Talk/ErrorBanner.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "Pipeline/EngineState.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Clipboard.h"
#include "UI/Kit/Icons.h"
#include "UI/Kit/PlainTextLabel.h"
#include "UI/Kit/Theme.h"
#include "UI/Models/Contrast.h"
#include "UI/Models/CoreTexts.h"
#include "UI/Talk/TextStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

ErrorBanner::ErrorBanner(AppContext& context, QWidget* parent)
    : CardFrame(8, parent), m_context(context), m_symbol(new QLabel(this)),
      m_message(new PlainTextLabel(QString(), this)), m_copy(new QPushButton(this)), m_copied(context.scheduler)
{
    setObjectName(QStringLiteral("errorBanner"));
    m_message->setObjectName(QStringLiteral("errorMessage"));
    m_copy->setObjectName(QStringLiteral("errorCopyButton"));
    m_message->setWordWrap(true);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    TextStyle::apply(*m_message, TextStyle::Size::callout);
    TextStyle::apply(*m_copy, TextStyle::Size::caption);
    m_copy->setAutoDefault(false);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(8);
    layout->addWidget(m_symbol, 0, Qt::AlignTop);
    layout->addWidget(m_message, 1);
    layout->addWidget(m_copy, 0, Qt::AlignTop);

    connect(m_copy, &QPushButton::clicked, this, &ErrorBanner::copy);
    refresh();
    connect(&context.engine, &EngineState::errorMessageChanged, this, &ErrorBanner::refresh);
    connect(&context.settings, &AppSettings::uiLanguageChanged, this, &ErrorBanner::refresh);
    connect(&context.theme, &Theme::appearanceChanged, this, &ErrorBanner::refresh);
}

void ErrorBanner::restart()
{
    m_copied.cancel();
    refresh();
}

void ErrorBanner::copy()
{
    m_context.clipboard.setText(m_message->text());
    m_copied.start(copiedFor, [this] { refresh(); });
    refresh();
}

void ErrorBanner::refresh()
{
    const QColor red = m_context.theme.named(ThemePalette::Named::red);
    setColours(ThemePalette::withAlpha(red, 0.08), ThemePalette::withAlpha(red, 0.35));
    m_symbol->setPixmap(Icons::symbol(QStringLiteral("exclamationmark.triangle.fill"), red).pixmap(16, 16));
    const AppLanguage language = m_context.settings.uiLanguage();
    m_message->setText(CoreTexts::shown(m_context.engine.errorMessage().value_or(QString()), language));
    QPalette palette = m_message->palette();
    const QColor background =
        Contrast::over(ThemePalette::withAlpha(red, 0.08), m_context.theme.color(ThemePalette::Token::canvas));
    palette.setColor(QPalette::WindowText, Contrast::readable(red, background));
    m_message->setPalette(palette);
    const bool copied = m_copied.isPending();
    m_copy->setText(L10n::t(copied ? QStringLiteral("btn.copied") : QStringLiteral("btn.copy"), language));
    m_copy->setIcon(Icons::symbol(copied ? QStringLiteral("checkmark") : QStringLiteral("doc.on.doc")));
}
