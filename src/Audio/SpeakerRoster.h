#pragma once

#include "Audio/Speaker.h"

#include <QList>
#include <QString>

#include <optional>
#include <utility>

// The speakers heard in one meeting and the rule that assigns an utterance's voice to one of
// them. A voice is the 24-band vector and, when the utterance had enough voiced speech, a
// voiceprint. Speakers are judged on the voiceprint when both sides have one, which tells
// people apart: the closest speaker takes the utterance when the prints lie within what one
// person's own utterances scatter. A speaker without one (a profile stored before voiceprints,
// or with a print of an older layout) is judged on the band vector, and only when no
// voiceprint takes the utterance: the best-scoring speaker takes it when it passes its
// threshold. Among equals the earliest speaker wins; otherwise a new "Speaker <id>" opens.
// Enrolled speakers (stored profiles, or named during the meeting) must lie closer, or score
// higher, and never change their voice; speakers the roster opened itself follow a running
// mean. Ids count up from 1 and are never reused. Plain data, no lock: its owner serialises
// access.
class SpeakerRoster {
public:
    struct Thresholds {
        float match;  // least score for a speaker the roster opened
        float enrollment;  // least score for an enrolled speaker
    };
    static constexpr Thresholds kBandThresholds{0.92f, 0.94f};
    // The farthest an utterance's voiceprint may lie from a speaker's (distance()) and still
    // be that speaker's: for a speaker the roster opened and heard n times, `opened` +
    // `fewUtterances` / n (a mean of few utterances tells the voice roughly); for an enrolled
    // one, `enrolled`. Fitted on recorded speech (docs/ARCHITECTURE.md): less splits a person,
    // more merges people.
    struct Reach {
        float opened;
        float fewUtterances;
        float enrolled;
    };
    static constexpr Reach kVoiceprintReach{2.1f, 0.6f, 1.7f};
    // What is known of an utterance besides its voice.
    struct Heard {
        int voicedFrames = 0;  // 10 ms frames of voiced speech
        std::optional<double> pauseSeconds;  // since the speech of the utterance before it
    };
    // A few words after a short pause (a list's last item, a sentence's tail) are too little
    // to tell a voice surely: they go on with the voice before them unless their print lies
    // clearly apart from it (distance()).
    struct GoingOn {
        double longestPauseSeconds;
        int fewestVoicedFrames;  // an utterance with as many is judged on its voice alone
        float clearlyAnother;
    };
    static constexpr GoingOn kGoingOn{1.2, 80, 4.0f};

    // Cosine of two unit band vectors; 0 unless both have the same, non-zero length.
    static float score(const QList<float>& a, const QList<float>& b);
    // Mean squared difference per value of two voiceprints: about 2 between two utterances of
    // one person, 1 + 1/n between one and the mean of n others. Infinite unless both have the
    // same, non-zero length.
    static float distance(const QList<float>& a, const QList<float>& b);

    // Adds an enrolled speaker and returns its id.
    int addEnrolled(const QString& label, const QList<float>& embedding, const QList<float>& voiceprint = {});
    // The speaker the utterance belongs to, after counting it.
    Speaker assign(const QList<float>& embedding, const QList<float>& voiceprint, const Heard& heard);
    Speaker assign(const QList<float>& embedding, const QList<float>& voiceprint = {})
    {
        return assign(embedding, voiceprint, Heard{});
    }

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
        int inVoice = 0;  // utterances the voice is the mean of (none for an enrolled one)
    };

    qsizetype indexOf(int id) const;
    // The speaker of the utterance before, when this one goes on with it.
    Member* goingOn(const QList<float>& voiceprint, const Heard& heard);
    // The member with the highest score among those `score` can judge (it returns nothing for
    // the others), the earliest among equals, with its score.
    template <typename Score>
    std::pair<Member*, float> best(Score score);

    QList<Member> m_members;
    int m_nextSpeakerID = 1;
    int m_lastID = 0;  // the speaker of the last utterance
};
