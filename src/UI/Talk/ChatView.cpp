#include "UI/Talk/ChatView.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "Pipeline/EngineState.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/TabOrder.h"
#include "UI/Kit/Theme.h"
#include "UI/Models/ChatContent.h"
#include "UI/Models/EmptyConversation.h"
#include "UI/Talk/CardFrame.h"
#include "UI/Talk/ChatBubble.h"
#include "UI/Talk/EndFollower.h"
#include "UI/Talk/KeyedRows.h"
#include "UI/Talk/TextStyle.h"

#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

ChatView::ChatView(AppContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_title(new QLabel(this)), m_frame(new CardFrame(10, this)),
      m_scroll(new QScrollArea(m_frame)), m_list(new QVBoxLayout), m_empty(new QLabel)
{
    setObjectName(QStringLiteral("chatView"));
    m_scroll->setObjectName(QStringLiteral("chatList"));
    m_empty->setObjectName(QStringLiteral("chatEmpty"));
    TextStyle::apply(*m_title, TextStyle::Size::caption, QFont::DemiBold);
    TextStyle::apply(*m_empty, TextStyle::Size::callout);
    m_empty->setAlignment(Qt::AlignCenter);
    m_empty->setWordWrap(true);
    m_empty->setContentsMargins(20, 20, 20, 20);

    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("chatContent"));
    content->setLayout(m_list);
    m_list->setContentsMargins(6, 8, 6, 8);
    m_list->setSpacing(8);
    m_list->addWidget(m_empty);
    m_list->addStretch(1);
    m_scroll->setWidget(content);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setStyleSheet(QStringLiteral("QScrollArea, #chatContent { background: transparent; }"));
    m_follower = new EndFollower(*m_scroll->verticalScrollBar());

    auto* frameLayout = new QVBoxLayout(m_frame);
    frameLayout->setContentsMargins(1, 1, 1, 1);
    frameLayout->addWidget(m_scroll);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(m_title);
    layout->addWidget(m_frame, 1);

    relabel();
    refresh();
    for (const auto changed :
         {&EngineState::lastTurnsChanged, &EngineState::assistantMessageChanged, &EngineState::phaseChanged})
        connect(&context.engine, changed, this, &ChatView::refresh);
    for (const auto changed : {&AppSettings::uiLanguageChanged, &AppSettings::localeIDChanged})
        connect(&context.settings, changed, this, &ChatView::relabel);
    for (const auto changed : {&EngineState::enabledChanged, &EngineState::phaseChanged})
        connect(&context.engine, changed, this, &ChatView::showHint);
    connect(&context.settings, &AppSettings::restingUntilChanged, this, &ChatView::showHint);
    connect(&context.theme, &Theme::appearanceChanged, this, &ChatView::relabel);
}

void ChatView::refresh()
{
    const QList<ChatContent::Bubble> bubbles = ChatContent::bubbles(
        m_context.engine.lastTurns(), m_context.engine.assistantMessage(), m_context.engine.phase());
    QList<QString> keys;
    for (const ChatContent::Bubble& bubble : bubbles)
        keys << bubble.key;
    // After the empty notice, in the order of the turns.
    KeyedRows::follow(m_bubbles, keys, *m_list, 1,
                      [&](qsizetype i) { return new ChatBubble(m_context, bubbles[i].role); });
    // Tab reaches the bubbles in the order they are read, after the list and before what follows it.
    QWidget* previous = m_scroll;
    for (const ChatContent::Bubble& bubble : bubbles) {
        ChatBubble* shown = m_bubbles[bubble.key];
        shown->setBubble(bubble);
        TabOrder::placeAfter(*previous, *shown);
        previous = shown;
    }
    m_empty->setVisible(bubbles.isEmpty());
    m_follower->catchUp();
}

void ChatView::relabel()
{
    const AppLanguage language = m_context.settings.uiLanguage();
    const Theme& theme = m_context.theme;
    m_title->setText(L10n::t(QStringLiteral("chat.title"), language));
    m_scroll->setAccessibleName(m_title->text());
    showHint();
    for (QLabel* label : {m_title, m_empty}) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, theme.color(ThemePalette::Token::secondary));
        label->setPalette(palette);
    }
    m_frame->setColours(theme.color(ThemePalette::Token::surface), theme.color(ThemePalette::Token::border));
    for (ChatBubble* bubble : std::as_const(m_bubbles))
        bubble->refresh();
}

void ChatView::showHint()
{
    m_empty->setText(L10n::t(EmptyConversation::hintKey(m_context.engine, m_context.settings, true),
                             m_context.settings.uiLanguage()));
}
