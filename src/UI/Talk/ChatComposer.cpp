#include "UI/Talk/ChatComposer.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "Pipeline/EngineCommands.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Icons.h"
#include "UI/Kit/Theme.h"
#include "UI/Models/LineText.h"
#include "UI/Talk/ComposerEdit.h"
#include "UI/Talk/PillButton.h"
#include "UI/Talk/TextStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

ChatComposer::ChatComposer(AppContext& context, QWidget* parent)
    : CardFrame(10, parent), m_context(context), m_symbol(new QLabel(this)), m_edit(new ComposerEdit(this)),
      m_send(new PillButton(9, 5, -1, this)), m_restingNote(new QLabel(this))
{
    setObjectName(QStringLiteral("chatComposer"));
    m_send->setObjectName(QStringLiteral("composerSend"));
    m_restingNote->setObjectName(QStringLiteral("composerRestingNote"));
    m_restingNote->setWordWrap(true);
    TextStyle::apply(*m_restingNote, TextStyle::Size::caption);
    m_restingNote->hide();
    // The keyboard symbol labels the box, so screen readers can tell what it is for.
    m_symbol->setBuddy(m_edit);
    m_edit->viewport()->setAutoFillBackground(false);
    m_edit->setStyleSheet(QStringLiteral("QPlainTextEdit { background: transparent; }"));

    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    row->addWidget(m_symbol);
    row->addWidget(m_edit, 1);
    row->addWidget(m_send);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 6, 10, 6);
    layout->setSpacing(4);
    layout->addLayout(row);
    layout->addWidget(m_restingNote);

    connect(m_edit, &ComposerEdit::submitted, this, &ChatComposer::submit);
    connect(m_send, &PillButton::clicked, this, &ChatComposer::submit);
    connect(m_edit, &QPlainTextEdit::textChanged, this, &ChatComposer::followDraft);
    refresh();
    connect(&context.settings, &AppSettings::uiLanguageChanged, this, &ChatComposer::refresh);
    connect(&context.settings, &AppSettings::restingUntilChanged, this, &ChatComposer::followRest);
    connect(&context.theme, &Theme::appearanceChanged, this, &ChatComposer::refresh);
}

void ChatComposer::restart()
{
    m_edit->clear();
    m_restingNote->hide();
}

void ChatComposer::submit()
{
    const QString draft = m_edit->toPlainText();
    if (m_context.settings.restingUntil() && !LineText::trimmedSpacesAndTabs(draft).isEmpty()) {
        m_restingNote->show();
        return;
    }
    m_edit->clear();
    m_context.commands.submitTextTurn(draft);
}

void ChatComposer::followRest()
{
    if (!m_context.settings.restingUntil())
        m_restingNote->hide();
}

void ChatComposer::followDraft()
{
    const bool sendable = !LineText::trimmedSpacesAndTabs(m_edit->toPlainText()).isEmpty();
    const QString send = L10n::t(QStringLiteral("composer.send"), m_context.settings.uiLanguage());
    const QColor gray = m_context.theme.named(ThemePalette::Named::gray);
    m_send->setLook({QStringLiteral("paperplane.fill"), QString(), QString(), send,
                     sendable ? ThemePalette::filled(ThemePalette::Token::accent, m_context.theme.isDark())
                              : ThemePalette::withAlpha(gray, 0.2),
                     sendable ? QColor(Qt::white) : gray});
    m_send->setAccessibleName(send);
    m_send->setEnabled(sendable);
}

void ChatComposer::refresh()
{
    const AppLanguage language = m_context.settings.uiLanguage();
    const QColor secondary = m_context.theme.named(ThemePalette::Named::gray);
    setColours(ThemePalette::withAlpha(secondary, 0.08));
    m_symbol->setPixmap(Icons::symbol(QStringLiteral("keyboard"), secondary).pixmap(16, 16));
    m_edit->setPrompt(L10n::t(QStringLiteral("composer.placeholder"), language));
    m_restingNote->setText(L10n::t(QStringLiteral("composer.resting"), language));
    QPalette palette = m_restingNote->palette();
    palette.setColor(QPalette::WindowText, m_context.theme.color(ThemePalette::Token::secondary));
    m_restingNote->setPalette(palette);
    m_symbol->setAccessibleName(m_edit->accessibleName());
    followDraft();
}
