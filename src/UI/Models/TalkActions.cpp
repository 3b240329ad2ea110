#include "UI/Models/TalkActions.h"

#include "Persistence/AppSettings.h"
#include "Pipeline/EngineCommands.h"
#include "Pipeline/EngineState.h"

TalkActions::TalkActions(AppSettings& settings, const EngineState& engine, EngineCommands& commands)
    : m_settings(settings), m_engine(engine), m_commands(commands)
{
}

WorkState TalkActions::workState() const
{
    return WorkState::of(m_engine.isEnabled(), m_settings.restingUntil().has_value());
}

void TalkActions::press(const WorkState::Button& button)
{
    if (!button.enabled)
        return;
    switch (button.action) {
    case WorkState::Action::clockIn:
        m_commands.setEnabled(true);
        return;
    case WorkState::Action::wake:
        m_commands.wakeFromRest(QStringLiteral("button"));
        return;
    case WorkState::Action::rest:
        m_commands.restNow();
        return;
    case WorkState::Action::clockOut:
        m_commands.setEnabled(false);
        return;
    }
}

void TalkActions::pressPrimary()
{
    press(workState().primary());
}

void TalkActions::press(TalkButtons::Kind kind)
{
    if (!TalkButtons::isEnabled(kind, m_engine.phase()))
        return;
    switch (kind) {
    case TalkButtons::Kind::camera:
        m_settings.setCameraGazeEnabled(!m_settings.cameraGazeEnabled());
        return;
    case TalkButtons::Kind::fire:
        m_commands.fireNow();
        return;
    case TalkButtons::Kind::stopSpeech:
        m_commands.stopSpeaking();
        return;
    }
}
