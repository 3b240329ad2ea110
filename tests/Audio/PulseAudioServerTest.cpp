// The shared test kit's private PulseAudio server and speech renderer: the audio tests of
// every folder stand on them.
#include "Common/PulseAudioTest.h"
#include "Common/SpeechWav.h"

#include <QTemporaryDir>

#include <sndfile.h>

TEST_F(PulseAudioTest, OffersTheVirtualSinkAndSources)
{
    const auto sources = pulse().runClient(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sources")});
    ASSERT_TRUE(sources.has_value());
    EXPECT_TRUE(sources->contains("\tvmic\t"));
    EXPECT_TRUE(sources->contains("\tvmic_loop\t"));
    EXPECT_TRUE(pulse().writeMicrophone(QByteArray(3200, '\0')));
}

TEST(SpeechWav, RendersSpokenTextAsMonoWav)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("hello.wav"));
    QString error;
    ASSERT_TRUE(SpeechWav::render(QStringLiteral("--help turn on the lights"), path, &error)) << error.toStdString();
    SF_INFO info{};
    SNDFILE* file = sf_open(path.toLocal8Bit().constData(), SFM_READ, &info);
    ASSERT_NE(file, nullptr);
    sf_close(file);
    EXPECT_EQ(info.channels, 1);
    EXPECT_EQ(info.samplerate, 22050);
    EXPECT_GT(info.frames, 22050 / 2);
}
