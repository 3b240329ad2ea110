#pragma once

#include "Audio/AudioBuffer.h"
#include "Audio/SpeakerRoster.h"
#include "Audio/SpectralEmbedder.h"
#include "Audio/VoiceprintEmbedder.h"
#include "Support/SerialWorker.h"

#include <QObject>

#include <mutex>
#include <optional>

// Labels who spoke each utterance of a meeting, from each utterance's 24-band vector and
// voiceprint, how much of it was voiced and the pause before it (see SpeakerRoster for the
// rule). The spectral work (accumulate, endUtterance,
// resetUtterance) runs on the classifier's own worker, in the order of the calls, so the
// owner's thread only queues buffers; endUtterance waits for the buffers queued before it,
// so its answer is never lost to a meeting that ends at once. The other calls run on the
// owner's thread and take the lock only for the speaker list. Stored profiles are read and
// written on the worker, one call at a time. Destroying the classifier finishes the queued
// work first.
class SpeakerClassifier : public QObject {
    Q_OBJECT
public:
    // Why no classifier can be made here (its transforms need FFTW), or empty when one can.
    static QString unavailableReason();

    explicit SpeakerClassifier(QObject* parent = nullptr);
    ~SpeakerClassifier() override;

    // Adds one enrolled speaker per stored profile whose band vector has the embedder's length;
    // a voiceprint of another layout is left out, so that speaker is judged on its bands.
    void loadEnrolledProfiles();

    void accumulate(AudioBufferPtr buffer);
    void resetUtterance();
    // Closes the utterance after every buffer queued before it: its speaker, or nothing when
    // the utterance was shorter than one analysis frame.
    std::optional<Speaker> endUtterance();

    // Stores the voice (band vector and voiceprint) of speaker `id` as a profile named `name`
    // (trimmed) and makes the speaker an enrolled one under that name, keeping its id. False, with the reason when
    // there is one, for a blank name, an unknown id or a profile that could not be stored;
    // the speaker then stays as it was.
    bool enrollSpeaker(int id, const QString& name, QString* error = nullptr);
    // A blank name or an unknown id changes nothing; an enrolled speaker's profile follows.
    void renameSpeaker(int id, const QString& name);

    QList<Speaker> allSpeakers() const;

private:
    mutable std::mutex m_mutex;  // guards the roster and the end of the last speech
    SpeakerRoster m_roster;
    std::optional<double> m_lastSpeechEnd;  // audio time, of the last utterance that had speech
    SpectralEmbedder m_embedder;  // worker only
    VoiceprintEmbedder m_voiceprints;  // worker only
    // Last, so it is destroyed first: it finishes the queued work while everything it uses exists.
    SerialWorker m_worker{QStringLiteral("app.parlivox.classifier")};
};
