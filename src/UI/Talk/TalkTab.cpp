#include "UI/Talk/TalkTab.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "Pipeline/EngineCommands.h"
#include "Pipeline/EngineState.h"
#include "Support/BuildInfo.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Icons.h"
#include "UI/Kit/TabOrder.h"
#include "UI/Kit/Theme.h"
#include "UI/Minutes/MinutesView.h"
#include "UI/Talk/AssistantTile.h"
#include "UI/Talk/ChatComposer.h"
#include "UI/Talk/ChatView.h"
#include "UI/Talk/ErrorBanner.h"
#include "UI/Talk/HeaderRow.h"
#include "UI/Talk/LiveTranscriptStrip.h"
#include "UI/Talk/SkillConfirmCard.h"
#include "UI/Talk/SkillTipStrip.h"
#include "UI/Talk/TextStyle.h"
#include "UI/Talk/TileRow.h"
#include "UI/Talk/UserTile.h"

#include <QBoxLayout>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <functional>

namespace {
// The page's column. A scroll area gives a column whose rows wrap text the height they would
// like, so nothing would ever give way; this one asks for no more than its rows need at their
// smallest, and the scroll area stretches it to the window when there is room.
class Column final : public QWidget {
public:
    int heightForWidth(int width) const override { return layout()->totalMinimumHeightForWidth(width); }
};
}  // namespace

TalkTab::TalkTab(AppContext& context, const SkillRegistry& skills, QWidget* parent)
    : QScrollArea(parent), m_context(context), m_column(new Column), m_header(new HeaderRow(context, m_column)),
      m_assistant(new AssistantTile(context, m_column)), m_user(new UserTile(context, m_column)),
      m_tips(new SkillTipStrip(context, skills, m_column)), m_chat(new ChatView(context, m_column)),
      m_composer(new ChatComposer(context, m_column)), m_clearRow(new QWidget(m_column)),
      m_clearHistory(new QPushButton(m_clearRow)), m_versionSymbol(new QLabel(m_column)),
      m_version(new QLabel(m_column))
{
    setObjectName(QStringLiteral("talkTab"));
    m_column->setObjectName(QStringLiteral("talkColumn"));
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    // Not a stop of Tab itself: moving the focus scrolls the page to the control focused.
    setFocusPolicy(Qt::NoFocus);
    m_clearHistory->setObjectName(QStringLiteral("clearHistoryButton"));
    m_version->setObjectName(QStringLiteral("versionLabel"));
    TextStyle::apply(*m_clearHistory, TextStyle::Size::caption);
    m_clearHistory->setAutoDefault(false);
    connect(m_clearHistory, &QPushButton::clicked, this, [this] { m_context.commands.clearHistory(); });
    auto* clearLayout = new QHBoxLayout(m_clearRow);
    clearLayout->setContentsMargins(0, 0, 0, 0);
    clearLayout->addWidget(m_clearHistory);

    TextStyle::apply(*m_version, TextStyle::Size::caption2);
    m_version->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_version->setText(QStringLiteral("Parlivox v") + BuildInfo::versionText());
    // The version at the leading edge, the clear-history button (while there is a history) at
    // the trailing one, on one line.
    auto* footer = new QHBoxLayout;
    footer->setSpacing(4);
    footer->addWidget(m_versionSymbol);
    footer->addWidget(m_version);
    footer->addStretch(1);
    footer->addWidget(m_clearRow);

    auto* layout = new QVBoxLayout(m_column);
    layout->setContentsMargins(14, 8, 14, 6);
    layout->setSpacing(6);
    layout->addWidget(m_header);
    layout->addWidget(new TileRow(m_assistant, m_user, m_column));
    layout->addWidget(new LiveTranscriptStrip(context, m_column));
    layout->addWidget(m_tips);
    layout->addWidget(m_chat, 1);
    layout->addWidget(m_composer);
    layout->addLayout(footer);
    setWidget(m_column);

    refreshRows();
    relabel();
    const EngineState& engine = context.engine;
    for (const auto changed : {&EngineState::phaseChanged, &EngineState::pendingSkillChanged,
                               &EngineState::errorMessageChanged, &EngineState::lastTurnsChanged})
        connect(&engine, changed, this, &TalkTab::refreshRows);
    connect(&context.settings, &AppSettings::appModeChanged, this, &TalkTab::refreshRows);
    connect(&context.settings, &AppSettings::uiLanguageChanged, this, &TalkTab::relabel);
    connect(&context.theme, &Theme::appearanceChanged, this, &TalkTab::relabel);
}

bool TalkTab::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Resize)
        keepAThirdForTheConversation();
    return QScrollArea::viewportEvent(event);
}

void TalkTab::keepAThirdForTheConversation()
{
    const int third = viewport()->height() / 3;
    m_chat->setMinimumHeight(third);
    if (m_minutes)
        m_minutes->setMinimumHeight(third);
}

template <typename Row>
Row* TalkTab::rowIfPresent(Row*& row, bool present)
{
    if (row || !present)
        return row;
    row = new Row(m_context, m_column);
    // Below the nearest row above it that is made, and next in the order of Tab after the
    // last control above it (the user tile's, when no card above has been made).
    auto* layout = static_cast<QBoxLayout*>(m_column->layout());
    int index = layout->indexOf(m_tips) + 1;
    QWidget* controlsAbove = m_user;
    for (QWidget* above : {static_cast<QWidget*>(m_confirmation), static_cast<QWidget*>(m_banner)}) {
        if (above == row)
            break;
        if (above) {
            index = layout->indexOf(above) + 1;
            controlsAbove = above;
        }
    }
    layout->insertWidget(index, row, row == static_cast<QWidget*>(m_minutes) ? 1 : 0);
    TabOrder::placeAfter(*controlsAbove, *row);
    keepAThirdForTheConversation();
    return row;
}

void TalkTab::refreshRows()
{
    const EngineState& engine = m_context.engine;
    const TalkRows rows = TalkRows::of(engine.phase(), m_context.settings.appMode(), engine.pendingSkill().has_value(),
                                       engine.errorMessage().has_value(), !engine.lastTurns().isEmpty());
    const std::optional<TalkRows> before = std::exchange(m_rows, rows);
    // A row that comes back starts again from its first state.
    const auto place = [](QWidget* row, bool present, bool wasPresent, const std::function<void()>& restart) {
        if (!row)
            return;
        if (present && !wasPresent && restart)
            restart();
        row->setVisible(present);
    };
    const bool known = before.has_value();
    place(m_tips, rows.skillTips, known && before->skillTips, [this] { m_tips->restart(); });
    place(rowIfPresent(m_confirmation, rows.confirmation), rows.confirmation, known && before->confirmation, nullptr);
    place(rowIfPresent(m_banner, rows.errorBanner), rows.errorBanner, known && before->errorBanner,
          [this] { m_banner->restart(); });
    place(rowIfPresent(m_minutes, rows.minutes), rows.minutes, known && before->minutes, nullptr);
    place(m_chat, !rows.minutes, known && !before->minutes, nullptr);
    place(m_composer, !rows.minutes, known && !before->minutes, [this] { m_composer->restart(); });
    place(m_clearRow, rows.clearHistory, known && before->clearHistory, nullptr);
}

void TalkTab::relabel()
{
    const QColor tertiary = m_context.theme.color(ThemePalette::Token::tertiary);
    m_clearHistory->setText(L10n::t(QStringLiteral("btn.clear_history"), m_context.settings.uiLanguage()));
    m_versionSymbol->setPixmap(Icons::symbol(QStringLiteral("info.circle"), tertiary).pixmap(10, 10));
    QPalette palette = m_version->palette();
    palette.setColor(QPalette::WindowText, tertiary);
    m_version->setPalette(palette);
}
