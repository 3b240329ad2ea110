#include "UI/Talk/WorkStateControls.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "Pipeline/EngineState.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Theme.h"
#include "UI/Talk/PillButton.h"
#include "UI/Talk/PillRow.h"

#include <QHBoxLayout>

namespace {
constexpr std::chrono::milliseconds countdownStep{1000};

PillButton* capsule(const char* objectName)
{
    auto* button = new PillButton(8, 3, -1);
    button->setObjectName(QLatin1String(objectName));
    return button;
}
}  // namespace

WorkStateControls::WorkStateControls(AppContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_actions(context.settings, context.engine, context.commands),
      m_clockIn(capsule("clockInButton")), m_rest(capsule("restButton")), m_resting(capsule("restingIndicator")),
      m_clockOut(capsule("clockOutButton")), m_row(new PillRow(4, PillRow::Lines::wrap)), m_countdown(context.scheduler)
{
    setObjectName(QStringLiteral("workStateControls"));
    // The badge only shows; it is neither pressed nor reached by Tab.
    m_resting->setFocusPolicy(Qt::NoFocus);
    m_resting->setAttribute(Qt::WA_TransparentForMouseEvents);
    for (PillButton* button : {m_clockIn, m_rest, m_resting, m_clockOut})
        m_row->add(button);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_row);
    connect(m_clockIn, &PillButton::clicked, this, [this] { m_actions.press(m_state.clockIn); });
    connect(m_rest, &PillButton::clicked, this, [this] { m_actions.press(m_state.rest); });
    connect(m_clockOut, &PillButton::clicked, this, [this] { m_actions.press(m_state.clockOut); });

    refresh();
    connect(&context.engine, &EngineState::enabledChanged, this, &WorkStateControls::refresh);
    connect(&context.settings, &AppSettings::restingUntilChanged, this, &WorkStateControls::refresh);
    connect(&context.settings, &AppSettings::uiLanguageChanged, this, &WorkStateControls::refresh);
    connect(&context.theme, &Theme::appearanceChanged, this, &WorkStateControls::refresh);
}

void WorkStateControls::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    tickCountdown();
}

void WorkStateControls::hideEvent(QHideEvent* event)
{
    m_countdown.cancel();
    QWidget::hideEvent(event);
}

void WorkStateControls::refresh()
{
    m_state = m_actions.workState();
    const AppLanguage language = m_context.settings.uiLanguage();
    const QColor gray = m_context.theme.named(ThemePalette::Named::gray);
    const auto apply = [&](PillButton* pill, const WorkState::Button& button) {
        PillButton::Look look;
        look.symbol = button.symbol;
        look.caption = L10n::t(button.titleKey, language);
        look.hint = button.primary ? WorkState::primaryHint() : QString();
        look.help = L10n::t(button.helpKey, language);
        look.background = button.enabled ? ThemePalette::filled(button.tint, m_context.theme.isDark())
                                         : ThemePalette::withAlpha(gray, 0.2);
        look.foreground = button.enabled ? QColor(Qt::white) : gray;
        pill->setLook(look);
        pill->setEnabled(button.enabled);
    };
    apply(m_clockIn, m_state.clockIn);
    apply(m_rest, m_state.rest);
    apply(m_clockOut, m_state.clockOut);
    m_rest->setVisible(!m_state.resting);
    m_resting->setVisible(m_state.resting);
    tickCountdown();
}

void WorkStateControls::tickCountdown()
{
    m_countdown.cancel();
    const std::optional<QDateTime> until = m_context.settings.restingUntil();
    if (!until || !isVisible())
        return;
    PillButton::Look look;
    look.symbol = QStringLiteral("moon.zzz.fill");
    look.caption = L10n::t(QStringLiteral("btn.resting"), m_context.settings.uiLanguage());
    look.hint = WorkState::countdown(*until, m_context.scheduler.wallNow());
    look.help = L10n::t(QStringLiteral("help.resting"), m_context.settings.uiLanguage());
    look.background = ThemePalette::filled(ThemePalette::Named::rest, m_context.theme.isDark());
    look.foreground = Qt::white;
    look.keepHint = true;
    m_resting->setLook(look);
    m_countdown.start(countdownStep, [this] { tickCountdown(); });
}
