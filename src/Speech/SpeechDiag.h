#pragma once

#include <QString>

// One step of the speech player, summarised in one line for the pipeline log.
struct SpeechDiag {
    enum class Kind { queued, started, finished, cancelled, aborted };

    Kind kind = Kind::queued;
    int chars = 0;
    QString voice;  // queued, started
    double watchdog = 0;  // queued: seconds allowed
    int elapsedMs = 0;  // finished, cancelled
    QString reason;  // aborted

    static SpeechDiag queued(int chars, const QString& voice, double watchdog);
    static SpeechDiag started(int chars, const QString& voice);
    static SpeechDiag finished(int chars, int elapsedMs);
    static SpeechDiag cancelled(int chars, int elapsedMs);
    static SpeechDiag aborted(const QString& reason, int chars);

    QString summary() const;
    bool operator==(const SpeechDiag&) const = default;
};
