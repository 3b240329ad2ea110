#include "Platform/QtAudioOutput.h"
#include "Common/PulseAudioTest.h"
#include "Common/QtPrinters.h"
#include "Platform/EspeakSpeechSynthesizer.h"
#include "Speech/SystemSpeechPlayer.h"
#include "Support/QtScheduler.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>

#include <cmath>

#include <gtest/gtest.h>

namespace {

AudioBufferPtr tone(double seconds)
{
    const int rate = 22050;
    std::vector<float> samples(static_cast<std::size_t>(seconds * rate));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = 0.3f * static_cast<float>(std::sin(2.0 * M_PI * 440.0 * static_cast<double>(i) / rate));
    return std::make_shared<const AudioBuffer>(AudioFormat{rate, 1}, std::move(samples), 0,
                                               std::chrono::steady_clock::now());
}

struct SpeakResult {
    bool done = false;
    std::optional<SpeechPlayerError> error;
};

}  // namespace

TEST(QtAudioOutput, WithoutAnOutputDeviceFailsClearlyAndLater)
{
    QtAudioOutput output([] { return QAudioDevice(); });
    QStringList reports;
    output.onStarted = [&] { reports.append(QStringLiteral("started")); };
    output.onFailed = [&](const QString& reason) { reports.append(reason); };
    output.play(tone(0.1));
    EXPECT_TRUE(reports.isEmpty()) << "never from inside play()";
    QCoreApplication::processEvents();
    EXPECT_EQ(reports, QStringList{QStringLiteral("no audio output device")});
}

TEST(QtAudioOutput, SpeakingWithoutAnOutputDeviceEndsWithTheErrorInsteadOfHanging)
{
    QtScheduler scheduler;
    SystemSpeechPlayer player(
        std::make_unique<EspeakSpeechSynthesizer>(std::make_unique<QtAudioOutput>([] { return QAudioDevice(); })),
        scheduler);
    QStringList diags;
    player.onDiagnostic = [&](const SpeechDiag& diag) { diags.append(diag.summary()); };
    SpeakResult result;
    player.speak(QStringLiteral("Hello there"), QStringLiteral("en-US"), [&](const auto& error) {
        result = {true, error};
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return result.done; }, 5000));
    EXPECT_EQ(result.error, SpeechPlayerError::playbackFailed(QStringLiteral("no audio output device")));
    EXPECT_EQ(diags.last(), QStringLiteral("aborted (no audio output device) for 11 chars"));
}

using QtAudioOutputPulseTest = PulseAudioTest;

TEST_F(QtAudioOutputPulseTest, ASpokenSentenceReachesTheSinkAndRecordsBackAsSpeech)
{
    QProcess recorder;
    recorder.start(QStringLiteral("parec"),
                   {QStringLiteral("--device=%1").arg(QLatin1String(PulseAudioServer::kLoopSourceName)),
                    QStringLiteral("--format=s16le"), QStringLiteral("--rate=16000"), QStringLiteral("--channels=1"),
                    QStringLiteral("--latency-msec=20")});
    ASSERT_TRUE(recorder.waitForStarted(5000));
    QTest::qWait(300);  // let the recording stream settle before speech starts

    QtScheduler scheduler;
    SystemSpeechPlayer player(std::make_unique<EspeakSpeechSynthesizer>(std::make_unique<QtAudioOutput>()), scheduler);
    QStringList diags;
    player.onDiagnostic = [&](const SpeechDiag& diag) { diags.append(diag.summary()); };
    SpeakResult result;
    player.speak(QStringLiteral("Turn on the lights in the kitchen, please."), QStringLiteral("en-US"),
                 [&](const auto& error) {
                     result = {true, error};
                 });
    ASSERT_TRUE(QTest::qWaitFor([&] { return result.done; }, 15000)) << diags.join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(result.error.has_value()) << result.error->description().toStdString();
    QTest::qWait(500);  // the device's own buffer drains into the monitor
    recorder.terminate();
    ASSERT_TRUE(recorder.waitForFinished(5000));

    const QByteArray raw = recorder.readAllStandardOutput();
    const auto* samples = reinterpret_cast<const qint16*>(raw.constData());
    const qsizetype count = raw.size() / 2;
    // Speech is loud in 20 ms windows for a good part of a second or more.
    int loudWindows = 0;
    for (qsizetype start = 0; start + 320 <= count; start += 320) {
        double sum = 0;
        for (qsizetype i = start; i < start + 320; ++i)
            sum += static_cast<double>(samples[i]) * samples[i];
        if (std::sqrt(sum / 320) > 300)
            ++loudWindows;
    }
    EXPECT_GT(loudWindows, 40) << "recorded " << count << " samples";
    EXPECT_TRUE(diags.last().startsWith(QStringLiteral("finished "))) << diags.join(QLatin1Char('\n')).toStdString();
}

TEST_F(QtAudioOutputPulseTest, AStreamWhoseNextBlockComesLateStillPlaysToItsEndAndFinishes)
{
    QtAudioOutput output;
    QStringList reports;
    output.onStarted = [&] { reports.append(QStringLiteral("started")); };
    output.onFinished = [&] { reports.append(QStringLiteral("finished")); };
    output.onFailed = [&](const QString& reason) { reports.append(reason); };
    output.play(tone(0.1));
    QTest::qWait(600);  // the sink runs dry and waits
    output.append(tone(0.3));
    output.endStream();
    ASSERT_TRUE(QTest::qWaitFor([&] { return reports.size() == 2; }, 5000)) << reports.join(u'|').toStdString();
    EXPECT_EQ(reports, (QStringList{QStringLiteral("started"), QStringLiteral("finished")}));

    // Once played out, the stream is closed: an open one would keep waking the program.
    const auto playing = [] {
        return pulse()
            .runClient(QStringLiteral("pactl"),
                       {QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sink-inputs")})
            .value_or("failed")
            .contains("22050Hz");
    };
    EXPECT_TRUE(playing());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !playing(); }, 3000));
}
