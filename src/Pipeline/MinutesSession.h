#pragma once

#include "Audio/AudioBuffer.h"

#include <QString>

#include <optional>

// Meeting minutes of a session in minutes mode: the recording, the speaker labels and the
// minutes file. The engine starts and stops it and hands it every captured buffer. GUI thread.
class MinutesSession {
public:
    virtual ~MinutesSession() = default;

    virtual void start(const AudioFormat& inputFormat) = 0;
    virtual void stop() = 0;
    virtual bool isRecording() const = 0;
    virtual void append(const AudioBufferPtr& buffer) = 0;
    // A finished utterance in minutes mode, already in the history: its speaker and its line,
    // or more of the last line when the same voice spoke it.
    virtual void takeTurn(const QString& text) = 0;
    // The last utterance's words as the recognizer finally gave them, after its turn ended:
    // they replace that utterance's words in its line.
    virtual void amendTurn(const QString& text) = 0;
    // The mode setting changed during a session whose input has this format (none yet).
    virtual void applyModeChange(const std::optional<AudioFormat>& inputFormat) = 0;
    virtual void renameSpeaker(int speakerID, const QString& name) = 0;
    virtual bool enrollSpeaker(int speakerID, const QString& name) = 0;
};
