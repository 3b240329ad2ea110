#pragma once

#include <QString>

#include <functional>

class EngineState;
class PipelineLog;

// The transcript of the user turn in progress: shown as it grows, logged once per change,
// and forgotten (with the recognizer's own transcript) when a turn is over. GUI thread only.
class LiveTranscript {
public:
    // `resetRecognizer` makes the running recognizer, if any, start its next transcript
    // from empty.
    LiveTranscript(EngineState& state, PipelineLog& log, std::function<void()> resetRecognizer);

    // Shows the whole transcript so far; a change is logged under "stt".
    void show(const QString& text);
    // Between turns: the recognizer starts afresh, the shown transcript and the first-speech
    // latch are cleared, and the next transcript is logged even if it repeats the last one.
    void prepareForNextTurn();

private:
    EngineState& m_state;
    PipelineLog& m_log;
    std::function<void()> m_resetRecognizer;
    QString m_lastLogged;
};
