#include "Pipeline/LiveTranscript.h"

#include "Diagnostics/PipelineLog.h"
#include "Pipeline/EngineState.h"
#include "Support/Text.h"

namespace {

constexpr qsizetype kLoggedChars = 80;

}  // namespace

LiveTranscript::LiveTranscript(EngineState& state, PipelineLog& log, std::function<void()> resetRecognizer)
    : m_state(state), m_log(log), m_resetRecognizer(std::move(resetRecognizer))
{
}

void LiveTranscript::show(const QString& text)
{
    m_state.setLiveTranscript(text);
    if (text == m_lastLogged)
        return;
    // One arg() call, so a "%2" in what the user said is never substituted.
    m_log.record(QStringLiteral("stt"),
                 QStringLiteral("raw '%1' (%2 chars)")
                     .arg(Text::graphemePrefix(text, kLoggedChars), QString::number(Text::graphemeCount(text))));
    m_lastLogged = text;
}

void LiveTranscript::prepareForNextTurn()
{
    if (m_resetRecognizer)
        m_resetRecognizer();
    m_lastLogged.clear();
    m_state.setHasStartedSpeaking(false);
    m_state.setFirstMicActivityAt(std::nullopt);
    m_state.setLiveTranscript({});
}
