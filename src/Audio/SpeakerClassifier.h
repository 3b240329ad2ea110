#pragma once

#include "Audio/AudioBuffer.h"
#include "Audio/SpeakerRoster.h"
#include "Audio/SpectralEmbedder.h"
#include "Support/SerialWorker.h"

#include <QObject>

#include <functional>
#include <mutex>
#include <optional>

// Labels who spoke each utterance of a meeting. The spectral work (accumulate, endUtterance,
// resetUtterance) runs on the classifier's own worker, in the order of the calls, so the
// owner's thread only queues buffers; the result of endUtterance comes back queued on the
// owner's thread. The other calls run on the owner's thread and take the lock only for the
// speaker list. Stored profiles are read and written on the worker, one call at a time.
// Destroying the classifier finishes the queued work (profile writes included) first.
class SpeakerClassifier : public QObject {
    Q_OBJECT
public:
    using Result = std::function<void(const std::optional<Speaker>&)>;

    explicit SpeakerClassifier(float matchThreshold = 0.92f, float enrollmentThreshold = 0.94f,
                               QObject* parent = nullptr);
    ~SpeakerClassifier() override;

    // Adds one enrolled speaker per stored profile whose vector has the embedder's length.
    void loadEnrolledProfiles();

    void accumulate(AudioBufferPtr buffer);
    void resetUtterance();
    // Closes the utterance after every buffer queued before it: `done` gets its speaker, or
    // nothing when the utterance was shorter than one analysis frame.
    void endUtterance(Result done);

    // Adds an enrolled speaker named `name` (trimmed) with the last closed utterance's vector
    // and stores it as a profile. Nothing for a blank name or before any utterance closed.
    std::optional<int> enrollLastUtterance(const QString& name);
    // A blank name or an unknown id changes nothing; an enrolled speaker's profile follows.
    void renameSpeaker(int id, const QString& name);

    QList<Speaker> allSpeakers() const;

private:
    mutable std::mutex m_mutex;  // guards the roster and the last vector
    SpeakerRoster m_roster;
    std::optional<QList<float>> m_lastFinalizedEmbedding;
    SpectralEmbedder m_embedder;  // worker only
    // Last, so it is destroyed first: it finishes the queued work while everything it uses exists.
    SerialWorker m_worker{QStringLiteral("app.parlivox.classifier")};
};
