#pragma once

#include "Audio/Speaker.h"

#include <QList>
#include <QString>

#include <optional>

// The speakers heard in one meeting and the rule that assigns an utterance's voice vector to
// one of them. Enrolled speakers (stored profiles, or named during the meeting) take an
// utterance only at the stricter enrolment threshold and never change their vector; speakers
// the roster opened itself follow a running mean. Ids count up from 1 and are never reused.
// Plain data, no lock: its owner serialises access.
class SpeakerRoster {
public:
    SpeakerRoster(float matchThreshold, float enrollmentThreshold);

    // Cosine of two unit vectors; 0 unless both have the same, non-zero length.
    static float score(const QList<float>& a, const QList<float>& b);

    // Adds an enrolled speaker and returns its id.
    int addEnrolled(const QString& label, const QList<float>& embedding);
    // The speaker the utterance belongs to, after counting it: the best-scoring speaker when
    // it passes its threshold (the earliest among equals), otherwise a new "Speaker <id>".
    Speaker assign(const QList<float>& embedding);

    // The speaker with this id, if there is one.
    std::optional<Speaker> speaker(int id) const;
    // Makes the speaker an enrolled one under the label: from now on it keeps its vector and
    // takes an utterance only at the enrolment threshold. False for an unknown id.
    bool enroll(int id, const QString& label);

    struct Renamed {
        QString previousLabel;
        bool isEnrolled = false;
    };
    // Relabels the speaker; nothing when there is no speaker with that id.
    std::optional<Renamed> rename(int id, const QString& label);

    const QList<Speaker>& speakers() const { return m_speakers; }

private:
    QList<Speaker> m_speakers;
    int m_nextSpeakerID = 1;
    const float m_matchThreshold;
    const float m_enrollmentThreshold;
};
