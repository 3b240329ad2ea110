#include "UI/Talk/ChatBubble.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Clipboard.h"
#include "UI/Kit/Icons.h"
#include "UI/Kit/Theme.h"
#include "UI/Talk/BubbleText.h"
#include "UI/Talk/TextStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int freeSide = 60;

QLabel* secondaryLabel(QWidget* parent, TextStyle::Size size, QFont::Weight weight = QFont::Normal)
{
    auto* label = new QLabel(parent);
    TextStyle::apply(*label, size, weight);
    return label;
}
}  // namespace

ChatBubble::ChatBubble(AppContext& context, ConversationTurn::Role role, QWidget* parent)
    : QWidget(parent), m_context(context), m_role(role), m_symbol(new QLabel(this)),
      m_roleLabel(secondaryLabel(this, TextStyle::Size::caption2, QFont::Medium)),
      m_typing(secondaryLabel(this, TextStyle::Size::caption2)), m_text(new BubbleText(this)),
      m_footer(secondaryLabel(this, TextStyle::Size::tiny))
{
    setObjectName(QStringLiteral("chatBubble"));
    setFocusProxy(m_text);
    m_text->onCopy = [&clipboard = context.clipboard](const QString& text) { clipboard.setText(text); };
    const bool assistant = role == ConversationTurn::Role::assistant;
    const Qt::Alignment side = assistant ? Qt::AlignLeft : Qt::AlignRight;
    auto* header = new QHBoxLayout;
    header->setSpacing(6);
    if (!assistant)
        header->addStretch(1);
    header->addWidget(assistant ? m_symbol : m_roleLabel);
    header->addWidget(assistant ? m_roleLabel : m_typing);
    header->addWidget(assistant ? m_typing : m_symbol);
    if (assistant)
        header->addStretch(1);

    auto* column = new QVBoxLayout;
    column->setSpacing(3);
    column->addLayout(header);
    column->addWidget(m_text, 0, side);
    column->addWidget(m_footer, 0, side);
    m_footer->setMaximumWidth(BubbleText::widest);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    if (!assistant)
        row->addSpacing(freeSide);
    row->addLayout(column, 1);
    if (assistant)
        row->addSpacing(freeSide);
    refresh();
}

void ChatBubble::setBubble(const ChatContent::Bubble& bubble)
{
    const bool changed = bubble.text != m_bubble.text || bubble.pending != m_bubble.pending;
    m_bubble = bubble;
    if (changed)
        refresh();
}

QString ChatBubble::text() const
{
    return m_text->text();
}

void ChatBubble::refresh()
{
    const AppSettings& settings = m_context.settings;
    const Theme& theme = m_context.theme;
    const bool assistant = m_role == ConversationTurn::Role::assistant;
    const AppLanguage language = settings.uiLanguage();
    m_roleLabel->setText(L10n::t(assistant ? QStringLiteral("chat.assistant") : QStringLiteral("chat.you"), language));
    m_typing->setText(m_bubble.pending ? L10n::t(QStringLiteral("chat.typing"), language) : QString());
    m_typing->setVisible(m_bubble.pending);
    m_text->setText(m_bubble.text);
    m_text->setAccessibleName(m_roleLabel->text());
    m_text->setMenuTexts(L10n::t(QStringLiteral("btn.copy"), language),
                         L10n::t(QStringLiteral("btn.select_all"), language));
    m_footer->setText(ChatContent::footer(m_role, m_bubble.text, settings.localeID(), language));

    using ThemePalette::Token;
    QColor background = theme.color(assistant ? Token::accentSoft : Token::userBubble);
    if (m_bubble.pending)
        background = ThemePalette::withAlpha(background, 0.55);
    m_text->setColours(background, theme.color(assistant ? Token::primary : Token::onUserBubble));
    const QColor secondary = theme.color(Token::secondary);
    m_symbol->setPixmap(
        Icons::symbol(assistant ? QStringLiteral("bubble.left.fill") : QStringLiteral("person.fill"), secondary)
            .pixmap(11, 11));
    for (QLabel* label : {m_roleLabel, m_typing}) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, secondary);
        label->setPalette(palette);
    }
    QPalette footer = m_footer->palette();
    footer.setColor(QPalette::WindowText, theme.color(Token::tertiary));
    m_footer->setPalette(footer);
}
