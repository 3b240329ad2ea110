#include "UI/Talk/TalkTab.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "Pipeline/EngineCommands.h"
#include "Pipeline/EngineState.h"
#include "Support/BuildInfo.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Icons.h"
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
#include "UI/Talk/UserTile.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <functional>

TalkTab::TalkTab(AppContext& context, const SkillRegistry& skills, QWidget* parent)
    : QWidget(parent), m_context(context), m_tips(new SkillTipStrip(context, skills, this)),
      m_confirmation(new SkillConfirmCard(context, this)), m_banner(new ErrorBanner(context, this)),
      m_minutes(new MinutesView(context, this)), m_chat(new ChatView(context, this)),
      m_composer(new ChatComposer(context, this)), m_clearRow(new QWidget(this)),
      m_clearHistory(new QPushButton(m_clearRow)), m_versionSymbol(new QLabel(this)), m_version(new QLabel(this))
{
    setObjectName(QStringLiteral("talkTab"));
    m_clearHistory->setObjectName(QStringLiteral("clearHistoryButton"));
    m_version->setObjectName(QStringLiteral("versionLabel"));
    TextStyle::apply(*m_clearHistory, TextStyle::Size::caption);
    m_clearHistory->setAutoDefault(false);
    connect(m_clearHistory, &QPushButton::clicked, this, [this] { m_context.commands.clearHistory(); });
    auto* clearLayout = new QHBoxLayout(m_clearRow);
    clearLayout->setContentsMargins(0, 0, 0, 0);
    clearLayout->addStretch(1);
    clearLayout->addWidget(m_clearHistory);

    TextStyle::apply(*m_version, TextStyle::Size::caption2);
    m_version->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_version->setText(QStringLiteral("Parlivox v%1 (build %2)").arg(BuildInfo::version(), BuildInfo::build()));
    auto* footer = new QHBoxLayout;
    footer->setSpacing(4);
    footer->addStretch(1);
    footer->addWidget(m_versionSymbol);
    footer->addWidget(m_version);

    auto* tiles = new QHBoxLayout;
    tiles->setSpacing(16);
    tiles->addWidget(new AssistantTile(context, this), 1);
    tiles->addWidget(new UserTile(context, this), 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(12);
    layout->addWidget(new HeaderRow(context, this));
    layout->addLayout(tiles);
    layout->addWidget(new LiveTranscriptStrip(context, this));
    for (QWidget* row :
         {static_cast<QWidget*>(m_tips), static_cast<QWidget*>(m_confirmation), static_cast<QWidget*>(m_banner)})
        layout->addWidget(row);
    layout->addWidget(m_minutes, 1);
    layout->addWidget(m_chat, 1);
    layout->addWidget(m_composer);
    layout->addWidget(m_clearRow);
    layout->addLayout(footer);

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

void TalkTab::refreshRows()
{
    const EngineState& engine = m_context.engine;
    const TalkRows rows = TalkRows::of(engine.phase(), m_context.settings.appMode(), engine.pendingSkill().has_value(),
                                       engine.errorMessage().has_value(), !engine.lastTurns().isEmpty());
    const std::optional<TalkRows> before = std::exchange(m_rows, rows);
    // A row that comes back starts again from its first state.
    const auto place = [](QWidget* row, bool present, bool wasPresent, const std::function<void()>& restart) {
        if (present && !wasPresent && restart)
            restart();
        row->setVisible(present);
    };
    const bool known = before.has_value();
    place(m_tips, rows.skillTips, known && before->skillTips, [this] { m_tips->restart(); });
    place(m_confirmation, rows.confirmation, known && before->confirmation, nullptr);
    place(m_banner, rows.errorBanner, known && before->errorBanner, [this] { m_banner->restart(); });
    place(m_minutes, rows.minutes, known && before->minutes, nullptr);
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
