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
        SpeakerRoster roster(0.92f, 0.94f);
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

TEST(SpeakerRoster, MatchedSpeakersFollowTheNormalizedMeanAndTiesGoToTheEarliest)
{
    SpeakerRoster roster(0.92f, 0.94f);
    const int enrolled = roster.addEnrolled(QStringLiteral("Ana"), at(0.5f));
    EXPECT_EQ(roster.assign(kBase).id, enrolled + 1);
    const Speaker joined = roster.assign(at(0.96f));
    EXPECT_EQ(joined.utteranceCount, 2);
    const float x = (1 + 0.96f) / 2, y = std::sqrt(1 - 0.96f * 0.96f) / 2, length = std::hypot(x, y);
    EXPECT_NEAR(joined.embedding[0], x / length, 1e-6f);
    EXPECT_NEAR(joined.embedding[1], y / length, 1e-6f);

    roster.addEnrolled(QStringLiteral("Twin"), joined.embedding);
    EXPECT_EQ(roster.assign(joined.embedding).id, joined.id);  // equal scores: the earlier speaker

    EXPECT_EQ(roster.rename(99, QStringLiteral("Nobody")), std::nullopt);
}

}  // namespace
