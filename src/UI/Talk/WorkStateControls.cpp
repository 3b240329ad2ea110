#include "UI/Talk/WorkStateControls.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "Pipeline/EngineCommands.h"
#include "Pipeline/EngineState.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Theme.h"
#include "UI/Talk/PillButton.h"

#include <QHBoxLayout>
#include <QShortcut>

namespace {
constexpr std::chrono::milliseconds countdownStep{1000};

PillButton* capsule(const char* objectName, QWidget* parent)
{
    auto* button = new PillButton(8, 3, -1, parent);
    button->setObjectName(QLatin1String(objectName));
    return button;
}
}  // namespace

WorkStateControls::WorkStateControls(AppContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_clockIn(capsule("clockInButton", this)),
      m_rest(capsule("restButton", this)), m_resting(capsule("restingIndicator", this)),
      m_clockOut(capsule("clockOutButton", this)),
      m_primaryShortcut(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), this)), m_countdown(context.scheduler)
{
    setObjectName(QStringLiteral("workStateControls"));
    // The badge only shows; it is neither pressed nor reached by Tab.
    m_resting->setFocusPolicy(Qt::NoFocus);
    m_resting->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    for (PillButton* button : {m_clockIn, m_rest, m_resting, m_clockOut})
        layout->addWidget(button);
    connect(m_clockIn, &PillButton::clicked, this, [this] { press(m_state.clockIn); });
    connect(m_rest, &PillButton::clicked, this, [this] { press(m_state.rest); });
    connect(m_clockOut, &PillButton::clicked, this, [this] { press(m_state.clockOut); });
    connect(m_primaryShortcut, &QShortcut::activated, this, [this] {
        for (const WorkState::Button* button : {&m_state.clockIn, &m_state.clockOut})
            if (button->primary)
                press(*button);
    });
    auto* keypadEnter = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Enter), this);
    connect(keypadEnter, &QShortcut::activated, m_primaryShortcut, &QShortcut::activated);

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
    const std::optional<QDateTime> until = m_context.settings.restingUntil();
    m_state = WorkState::of(m_context.engine.isEnabled(), until.has_value());
    const AppLanguage language = m_context.settings.uiLanguage();
    const QColor gray = m_context.theme.named(ThemePalette::Named::gray);
    const auto apply = [&](PillButton* pill, const WorkState::Button& button) {
        PillButton::Look look;
        look.symbol = button.symbol;
        look.caption = L10n::t(button.titleKey, language);
        look.hint = button.primary ? WorkState::primaryHint() : QString();
        look.help = button.help;
        look.background = button.enabled ? m_context.theme.named(button.tint) : ThemePalette::withAlpha(gray, 0.2);
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
    look.help = QStringLiteral("휴식 중 — '당근 당근' 하고 부르거나 출근을 누르면 깨어납니다");
    look.background = m_context.theme.named(ThemePalette::Named::rest);
    look.foreground = Qt::white;
    look.keepHint = true;
    m_resting->setLook(look);
    m_countdown.start(countdownStep, [this] { tickCountdown(); });
}

void WorkStateControls::press(const WorkState::Button& button)
{
    if (!button.enabled)
        return;
    EngineCommands& commands = m_context.commands;
    switch (button.action) {
    case WorkState::Action::clockIn:
        commands.setEnabled(true);
        return;
    case WorkState::Action::wake:
        commands.wakeFromRest(QStringLiteral("button"));
        return;
    case WorkState::Action::rest:
        commands.restNow();
        return;
    case WorkState::Action::clockOut:
        commands.setEnabled(false);
        return;
    }
}
