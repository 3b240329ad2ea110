#include "Audio/SpeakerClassifier.h"

#include "Common/QtPrinters.h"
#include "Common/SpeechWav.h"
#include "Common/TestEnvironment.h"
#include "Storage/SpeakerProfileStore.h"
#include "TestBuffers.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Speech of an espeak-ng voice, in capture-sized buffers at the voice's own rate.
std::vector<AudioBufferPtr> speech(const QString& voice, const QString& text)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("speech.wav"));
    QString error;
    EXPECT_TRUE(SpeechWav::render(text, path, &error, {voice})) << error.toStdString();
    SF_INFO info;
    const std::vector<float> samples = readSoundFile(path, info);
    std::vector<AudioBufferPtr> buffers;
    for (std::int64_t start = 0; start < std::int64_t(samples.size()); start += 4096)
        buffers.push_back(makeBuffer(
            {double(info.samplerate), 1}, std::min<std::int64_t>(4096, std::int64_t(samples.size()) - start),
            [&](int, std::int64_t f) { return samples[std::size_t(start + f)]; }, start));
    return buffers;
}

std::optional<Speaker> utter(SpeakerClassifier& classifier, const std::vector<AudioBufferPtr>& buffers)
{
    for (const AudioBufferPtr& buffer : buffers)
        classifier.accumulate(buffer);
    const std::optional<Speaker> result = classifier.endUtterance();
    classifier.resetUtterance();
    return result;
}

const QString kFirst = QStringLiteral("The quarterly budget review starts on Monday, and everyone brings their notes.");
const QString kSecond =
    QStringLiteral("We decided to move the launch to next week because the tests were not finished.");

TEST(SpeakerClassifier, TellsTwoVoicesApartAndKnowsAnEnrolledVoiceInTheNextMeeting)
{
    const ScopedDataRoot root;
    const auto male1 = speech(QStringLiteral("en-us+m7"), kFirst), male2 = speech(QStringLiteral("en-us+m7"), kSecond);
    const auto female1 = speech(QStringLiteral("en-us+f5"), kFirst),
               female2 = speech(QStringLiteral("en-us+f5"), kSecond);
    QList<float> enrolled;
    {
        SpeakerClassifier classifier;
        classifier.loadEnrolledProfiles();
        EXPECT_FALSE(classifier.enrollSpeaker(1, QStringLiteral("Bea")));  // nothing heard yet
        EXPECT_EQ(utter(classifier, male1)->label, QStringLiteral("Speaker 1"));
        EXPECT_EQ(utter(classifier, female1)->label, QStringLiteral("Speaker 2"));
        EXPECT_EQ(utter(classifier, male2)->id, 1);
        EXPECT_EQ(utter(classifier, female2)->id, 2);
        EXPECT_FALSE(classifier.enrollSpeaker(2, QStringLiteral(" \n")));
        EXPECT_FALSE(classifier.enrollSpeaker(3, QStringLiteral("Bea")));  // no such speaker
        EXPECT_TRUE(classifier.enrollSpeaker(2, QStringLiteral("  Bea ")));  // the chip's speaker, not the last
        EXPECT_EQ(utter(classifier, male1)->id, 1);
        classifier.renameSpeaker(1, QStringLiteral("Max"));  // not enrolled: only in memory
        const QList<Speaker> speakers = classifier.allSpeakers();
        ASSERT_EQ(speakers.size(), 2);
        EXPECT_EQ(speakers[0].label, QStringLiteral("Max"));
        EXPECT_EQ(speakers[1], (Speaker{2, QStringLiteral("Bea"), speakers[1].embedding, 2, true}));
        enrolled = speakers[1].embedding;
    }
    ASSERT_EQ(SpeakerProfileStore::load().size(), 1);
    EXPECT_EQ(SpeakerProfileStore::load().first().label, QStringLiteral("Bea"));
    EXPECT_EQ(SpeakerProfileStore::load().first().embedding, enrolled);

    SpeakerProfileStore::append({QStringLiteral("Short"), QList<float>(12, 0.2f), QDateTime::currentDateTimeUtc()});
    {
        SpeakerClassifier classifier;
        classifier.loadEnrolledProfiles();  // the 12-value profile is skipped and takes no id
        EXPECT_EQ(utter(classifier, female1)->label, QStringLiteral("Bea"));
        EXPECT_EQ(utter(classifier, male1)->label, QStringLiteral("Speaker 2"));
        // Shorter than one frame: no speaker, and the list stays as it was.
        EXPECT_EQ(utter(classifier, {makeBuffer({22050, 1}, 1000, [](int, std::int64_t) { return 0.1f; })}),
                  std::nullopt);
        EXPECT_EQ(classifier.allSpeakers().size(), 2);
        classifier.renameSpeaker(1, QStringLiteral(" Beatrice "));
    }
    ASSERT_EQ(SpeakerProfileStore::load().size(), 2);
    EXPECT_EQ(SpeakerProfileStore::load().first().label, QStringLiteral("Beatrice"));
}

}  // namespace
