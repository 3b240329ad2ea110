#include "Audio/SpeakerRoster.h"

#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A unit vector whose cosine with (1, 0, 0, ...) is `cosine`.
QList<float> at(float cosine)
{
    QList<float> vector(24, 0.0f);
    vector[0] = cosine;
    vector[1] = std::sqrt(1 - cosine * cosine);
    return vector;
}

const QList<float> kBase = at(1.0f);

// A voiceprint whose distance from kBase is `distance`.
QList<float> apart(float distance)
{
    QList<float> vector = kBase;
    vector[2] = std::sqrt(distance * float(vector.size()));
    return vector;
}

QList<float> axis(int index)
{
    QList<float> vector(24, 0.0f);
    vector[index] = 1;
    return vector;
}

TEST(SpeakerRoster, AssignsByTheThresholdOfTheBestSpeaker)
{
    struct Case {
        const char* name;
        bool baseIsEnrolled;
        QList<float> utterance;
        int expectedID;
    };
    const Case cases[] = {
        {"exactly the match threshold joins", false, at(0.92f), 1},
        {"just below it opens a speaker", false, at(0.9199f), 2},
        {"an enrolled speaker needs the stricter threshold", true, at(0.93f), 2},
        {"and takes the utterance at it", true, at(0.94f), 1},
        {"a vector of another length scores 0", false, QList<float>(12, 0.3f), 2},
        {"a score that is not a number opens a speaker", false, QList<float>(24, NAN), 2},
    };
    for (const Case& c : cases) {
        SpeakerRoster roster;
        if (c.baseIsEnrolled)
            roster.addEnrolled(QStringLiteral("Ana"), kBase);
        else
            roster.assign(kBase);
        const Speaker speaker = roster.assign(c.utterance);
        EXPECT_EQ(speaker.id, c.expectedID) << c.name;
        EXPECT_EQ(speaker.label, c.expectedID == 2 ? QStringLiteral("Speaker 2") : roster.speakers().first().label)
            << c.name;
        if (c.baseIsEnrolled) {
            EXPECT_EQ(roster.speakers().first().embedding, kBase) << c.name;  // never moved by a match
        }
    }
}

TEST(SpeakerRoster, JudgesOnTheVoiceprintWhenBothSidesHaveOneAndOnTheBandsOtherwise)
{
    struct Voice {
        bool isEnrolled;
        QList<float> bands;
        QList<float> voiceprint;  // empty: a profile stored before voiceprints
        int heard = 1;  // utterances, for a speaker the roster opens
    };
    struct Case {
        const char* name;
        std::vector<Voice> known;
        Voice utterance;
        int expectedID;
    };
    const QList<float> none;
    const SpeakerRoster::Reach reach = SpeakerRoster::kVoiceprintReach;
    const float once = reach.opened + reach.fewUtterances, twice = reach.opened + reach.fewUtterances / 2;
    const Case cases[] = {
        {"the voiceprint decides, not the bands", {{false, kBase, kBase}}, {false, kBase, apart(once * 1.001f)}, 2},
        {"a voiceprint within reach of a speaker heard once joins",
         {{false, kBase, kBase}},
         {false, at(0.5f), apart(once * 0.999f)},
         1},
        {"a speaker heard twice reaches less", {{false, kBase, kBase, 2}}, {false, kBase, apart(twice * 1.001f)}, 2},
        {"but as far as that", {{false, kBase, kBase, 2}}, {false, kBase, apart(twice * 0.999f)}, 1},
        {"an enrolled voiceprint reaches least",
         {{true, kBase, kBase}},
         {false, kBase, apart(reach.enrolled * 1.001f)},
         2},
        {"and takes the utterance within it", {{true, kBase, kBase}}, {false, at(0.5f), apart(reach.enrolled * 0.999f)}, 1},
        {"the closest for its reach wins, not the nearest",
         {{false, kBase, apart(2.0f)}, {true, kBase, apart(1.5f)}},
         {false, kBase, kBase},
         1},
        {"an old profile is judged on its bands", {{true, kBase, none}}, {false, at(0.94f), kBase}, 1},
        {"at their enrolment threshold", {{true, kBase, none}}, {false, at(0.93f), kBase}, 2},
        {"a voiceprint of another layout counts as none",
         {{true, kBase, QList<float>(26, 0.2f)}},
         {false, at(0.94f), kBase},
         1},
        {"a voiceprint match comes before an old profile",
         {{true, kBase, none}, {false, axis(5), kBase}},
         {false, kBase, kBase},
         2},
        {"an utterance without a voiceprint is judged on the bands",
         {{false, kBase, kBase}},
         {false, at(0.92f), none},
         1},
        {"a voiceprint that is not a number opens a speaker",
         {{false, kBase, kBase}},
         {false, kBase, QList<float>(24, NAN)},
         2},
    };
    for (const Case& c : cases) {
        SpeakerRoster roster;
        for (const Voice& voice : c.known) {
            if (voice.isEnrolled)
                roster.addEnrolled(QStringLiteral("Ana"), voice.bands, voice.voiceprint);
            else
                for (int n = 0; n < voice.heard; ++n)
                    roster.assign(voice.bands, voice.voiceprint);
        }
        ASSERT_EQ(roster.speakers().size(), qsizetype(c.known.size())) << c.name;
        EXPECT_EQ(roster.assign(c.utterance.bands, c.utterance.voiceprint).id, c.expectedID) << c.name;
    }
}

// A list's last item or a sentence's tail after a short pause is too little to tell a voice:
// it stays with the voice before it unless its print lies clearly apart, and changes nothing
// of that voice.
TEST(SpeakerRoster, AFewWordsAfterAShortPauseGoOnWithTheVoiceBefore)
{
    const SpeakerRoster::GoingOn going = SpeakerRoster::kGoingOn;
    const QList<float> none;
    struct Case {
        const char* name;
        SpeakerRoster::Heard heard;
        QList<float> voiceprint;
        int expectedID;  // 2: the voice before; 3: judged on its own (a new one)
    };
    const Case cases[] = {
        {"no print, short pause", {20, 0.9}, none, 2},
        {"a print near enough", {going.fewestVoicedFrames - 1, going.longestPauseSeconds}, apart(3.9f), 2},
        {"a print clearly apart", {30, 0.9}, apart(4.1f), 3},
        {"enough voiced speech to be judged", {going.fewestVoicedFrames, 0.9}, apart(3.0f), 3},
        {"after a longer pause", {30, going.longestPauseSeconds + 0.01}, apart(3.0f), 3},
        {"no pause known", {30, std::nullopt}, apart(3.0f), 3},
    };
    for (const Case& c : cases) {
        SpeakerRoster roster;
        roster.assign(axis(5), apart(20.0f));
        const Speaker before = roster.assign(kBase, kBase);
        const Speaker speaker = roster.assign(at(0.5f), c.voiceprint, c.heard);
        EXPECT_EQ(speaker.id, c.expectedID) << c.name;
        if (c.expectedID == before.id) {
            EXPECT_EQ(speaker.utteranceCount, 2) << c.name;
            EXPECT_EQ(speaker.embedding, before.embedding) << c.name;
            EXPECT_EQ(roster.voiceprint(before.id), kBase) << c.name;
        }
    }
}

TEST(SpeakerRoster, MatchedSpeakersFollowTheMeanAndTiesGoToTheEarliest)
{
    SpeakerRoster roster;
    const int enrolled = roster.addEnrolled(QStringLiteral("Ana"), at(0.5f));
    EXPECT_EQ(roster.assign(kBase, kBase).id, enrolled + 1);
    const Speaker joined = roster.assign(at(0.96f), at(0.96f));
    EXPECT_EQ(joined.utteranceCount, 2);
    const float x = (1 + 0.96f) / 2, y = std::sqrt(1 - 0.96f * 0.96f) / 2, length = std::hypot(x, y);
    EXPECT_NEAR(joined.embedding[0], x / length, 1e-6f);
    EXPECT_NEAR(joined.embedding[1], y / length, 1e-6f);
    // The voiceprint follows the plain mean: distances keep their scale.
    const QList<float> print = roster.voiceprint(joined.id);
    EXPECT_NEAR(print[0], x, 1e-6f);
    EXPECT_NEAR(print[1], y, 1e-6f);

    roster.addEnrolled(QStringLiteral("Twin"), joined.embedding, print);
    EXPECT_EQ(roster.assign(joined.embedding, print).id, joined.id);  // equally close: the earlier one

    EXPECT_EQ(roster.rename(99, QStringLiteral("Nobody")), std::nullopt);
}

}  // namespace
