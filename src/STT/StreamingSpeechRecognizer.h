#pragma once

#include "Audio/AudioBuffer.h"

#include <QString>

#include <functional>
#include <optional>

// The contract between the conversation engine and a live speech recognizer. Every call is
// made on the GUI thread, and every callback arrives there.
//
// Each onTranscript call carries the whole text recognized since the last start or reset,
// never a delta; a later call supersedes the earlier ones and may revise or shorten them.
class StreamingSpeechRecognizer {
public:
    // Nothing on success, otherwise the readable reason recognition could not begin.
    using StartCompletion = std::function<void(std::optional<QString> error)>;

    virtual ~StreamingSpeechRecognizer() = default;

    std::function<void(const QString& transcript)> onTranscript;
    // A failure after a successful start, as readable text.
    std::function<void(const QString& error)> onError;
    // The transcript that resetTranscriptKeepingFinal() set aside, once its last utterance
    // is finished: as it stood then, with that utterance's final text.
    std::function<void(const QString& transcript)> onLateFinal;

    // Prepares recognition of that language ("en-US") for buffers in `inputFormat` and
    // begins accepting audio; `done` runs later, once. Starting again first ends the
    // running recognition.
    virtual void start(const QString& localeID, const AudioFormat& inputFormat, StartCompletion done) = 0;
    // Adds one captured buffer; returns at once and never fails. Ignored unless running.
    virtual void feed(const AudioBufferPtr& buffer) = 0;
    // Ends recognition and releases the decoder; `done`, when given, runs later.
    virtual void stop(std::function<void()> done = {}) = 0;
    // Forgets the transcript so far: the next one starts empty.
    virtual void resetTranscriptState() = 0;
    // As resetTranscriptState(), except that an utterance still being finished is decoded to
    // its end first: its final text completes the transcript set aside, which goes to
    // onLateFinal, and nothing of it reaches the next transcript. A recognizer that cannot
    // tell resets.
    virtual void resetTranscriptKeepingFinal() { resetTranscriptState(); }
    // True while speech has been heard whose final text has not come yet: a recognizer may
    // finish an utterance a little after the speech ends, revising or adding its last words.
    // False when it cannot tell.
    virtual bool isFinishingUtterance() const { return false; }
};
