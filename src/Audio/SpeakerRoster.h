#pragma once

#include "Audio/Speaker.h"

#include <QList>
#include <QString>

#include <optional>

// The speakers heard in one meeting and the rule that assigns an utterance's voice to one of
// them. A voice is the 24-band vector and, when the utterance had enough voiced speech, a
// voiceprint. Speakers are judged on the voiceprint when both sides have one, which tells
// people apart; a speaker without one (a profile stored before voiceprints existed) is judged
// on the band vector, and only when no voiceprint takes the utterance. On either signature
// the best-scoring speaker takes the utterance when it passes its threshold (the earliest
// among equals); otherwise a new "Speaker <id>" opens. Enrolled speakers (stored profiles, or
// named during the meeting) need the stricter enrolment threshold and never change their
// voice; speakers the roster opened itself follow a running mean. Ids count up from 1 and are
// never reused. Plain data, no lock: its owner serialises access.
class SpeakerRoster {
public:
    struct Thresholds {
        float match;  // least score for a speaker the roster opened
        float enrollment;  // least score for an enrolled speaker
    };
    static constexpr Thresholds kBandThresholds{0.92f, 0.94f};
    // Measured on recorded speech (docs/ARCHITECTURE.md): a lower match threshold merges
    // people, a higher one splits a person.
    static constexpr Thresholds kVoiceprintThresholds{0.15f, 0.4f};

    // Cosine of two unit vectors (band vectors or voiceprints); 0 unless both have the same,
    // non-zero length.
    static float score(const QList<float>& a, const QList<float>& b);

    // Adds an enrolled speaker and returns its id.
    int addEnrolled(const QString& label, const QList<float>& embedding, const QList<float>& voiceprint = {});
    // The speaker the utterance belongs to, after counting it.
    Speaker assign(const QList<float>& embedding, const QList<float>& voiceprint = {});

    // The speaker with this id, if there is one.
    std::optional<Speaker> speaker(int id) const;
    // The speaker's voiceprint; empty when it has none or there is no such speaker.
    QList<float> voiceprint(int id) const;
    // Makes the speaker an enrolled one under the label: from now on it keeps its voice and
    // takes an utterance only at the enrolment threshold. False for an unknown id.
    bool enroll(int id, const QString& label);

    struct Renamed {
        QString previousLabel;
        bool isEnrolled = false;
    };
    // Relabels the speaker; nothing when there is no speaker with that id.
    std::optional<Renamed> rename(int id, const QString& label);

    QList<Speaker> speakers() const;

private:
    struct Member {
        Speaker speaker;
        QList<float> voiceprint;
    };

    qsizetype indexOf(int id) const;
    // The best member passing its threshold among those `score` can judge (it returns nothing
    // for the others).
    template <typename Score>
    Member* best(Score score, Thresholds thresholds);

    QList<Member> m_members;
    int m_nextSpeakerID = 1;
};
