#pragma once

#include "Speech/SpeechPlayer.h"

#include <QCoreApplication>

#include <vector>

// A player whose utterances end only when the test says so, each completion delivered
// from the event loop as the real player does.
class ScriptedSpeechPlayer final : public SpeechPlayer {
public:
    struct Call {
        QString text;
        QString locale;
    };
    std::vector<Call> calls;
    int stops = 0;

    void speak(const QString& text, const std::optional<QString>& localeID, Completion done) override
    {
        calls.push_back({text, localeID.value_or(QString())});
        m_pending = std::move(done);
    }
    void stop() override
    {
        ++stops;
        end(std::nullopt);
    }
    bool isSpeaking() const { return static_cast<bool>(m_pending); }
    void finishCurrent() { end(std::nullopt); }
    void failCurrent() { end(SpeechPlayerError::playbackFailed(QStringLiteral("no audio output device"))); }

private:
    void end(std::optional<SpeechPlayerError> error)
    {
        if (!m_pending)
            return;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [done = std::exchange(m_pending, nullptr), error] { done(error); },
            Qt::QueuedConnection);
    }
    Completion m_pending;
};
