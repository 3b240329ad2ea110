#include "Platform/PulseAudioOutput.h"
#include "Common/LogCapture.h"
#include "Common/PulseAudioTest.h"
#include "Common/QtPrinters.h"
#include "Common/ScopedPulseServer.h"
#include "Platform/EspeakSpeechSynthesizer.h"
#include "Speech/SystemSpeechPlayer.h"
#include "Support/QtScheduler.h"

#include <QProcess>
#include <QTest>

#include <cmath>
#include <map>

#include <gtest/gtest.h>

namespace {

AudioBufferPtr tone(double seconds, int rate = 22050)
{
    std::vector<float> samples(static_cast<std::size_t>(seconds * rate));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = 0.3f * static_cast<float>(std::sin(2.0 * M_PI * 440.0 * static_cast<double>(i) / rate));
    return std::make_shared<const AudioBuffer>(AudioFormat{double(rate), 1}, std::move(samples), 0,
                                               std::chrono::steady_clock::now());
}

struct SpeakResult {
    bool done = false;
    std::optional<SpeechPlayerError> error;
};

void recordReports(AudioOutput& output, QStringList& reports)
{
    output.onStarted = [&reports] { reports.append(QStringLiteral("started")); };
    output.onFinished = [&reports] { reports.append(QStringLiteral("finished")); };
    output.onFailed = [&reports](const QString& reason) { reports.append(reason); };
}

const QString kAudioLog = QStringLiteral("app.parlivox.audio.output");

// Our playback streams among the server's sink inputs, as "<rate>Hz#<n>" with n numbering the
// streams in the order they were first seen, so a reused stream keeps its n.
class StreamNames {
public:
    explicit StreamNames(const PulseAudioServer& server) : m_server(server) {}

    QString now()
    {
        QStringList found;
        const QByteArray listing =
            m_server
                .runClient(QStringLiteral("pactl"),
                           {QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sink-inputs")})
                .value_or(QByteArray());
        for (const QByteArray& line : listing.split('\n')) {
            const QList<QByteArray> fields = line.split('\t');
            if (fields.size() < 5 || !fields[4].startsWith("float32le 1ch "))
                continue;
            const int number = m_numbers.try_emplace(fields[0], int(m_numbers.size()) + 1).first->second;
            found.append(QStringLiteral("%1#%2").arg(QString::fromLatin1(fields[4].split(' ').last())).arg(number));
        }
        return found.join(u' ');
    }

private:
    const PulseAudioServer& m_server;
    std::map<QByteArray, int> m_numbers;
};

}  // namespace

using PulseAudioOutputTest = PulseAudioTest;

TEST_F(PulseAudioOutputTest, WithoutASoundServerOrAnOutputDeviceFailsClearlyAndLater)
{
    const struct {
        const char* server;  // null: the shared one
        const char* sink;
        QString reason;
    } cases[] = {
        {"unix:/nonexistent/parlivox-test/pulse.sock", "", QStringLiteral("no sound server: Connection refused")},
        {nullptr, "unplugged", QStringLiteral("no audio output device 'unplugged'")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason.toStdString());
        LogCapture log(kAudioLog);
        PulseAudioOutput output(QString::fromLatin1(c.sink));
        QStringList reports;
        recordReports(output, reports);
        {
            const ScopedPulseServer server(c.server ? QByteArray(c.server) : qgetenv("PULSE_SERVER"));
            output.play(tone(0.1));
        }
        output.append(tone(0.1));
        output.endStream();
        EXPECT_TRUE(reports.isEmpty()) << "never from inside a call";
        QTest::qWait(300);
        EXPECT_EQ(reports, QStringList{c.reason});
        EXPECT_EQ(log.messages(), QStringList{QStringLiteral("playback failed: ") + c.reason});
    }
}

TEST_F(PulseAudioOutputTest, SpeakingWithoutAnOutputDeviceEndsWithTheErrorInsteadOfHanging)
{
    QtScheduler scheduler;
    SystemSpeechPlayer player(
        std::make_unique<EspeakSpeechSynthesizer>(std::make_unique<PulseAudioOutput>(QStringLiteral("unplugged"))),
        scheduler);
    QStringList diags;
    player.onDiagnostic = [&](const SpeechDiag& diag) { diags.append(diag.summary()); };
    SpeakResult result;
    player.speak(QStringLiteral("Hello there"), QStringLiteral("en-US"), [&](const auto& error) {
        result = {true, error};
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return result.done; }, 5000));
    const QString reason = QStringLiteral("no audio output device 'unplugged'");
    EXPECT_EQ(result.error, SpeechPlayerError::playbackFailed(reason));
    EXPECT_EQ(diags.last(), QStringLiteral("aborted (%1) for 11 chars").arg(reason));
}

TEST_F(PulseAudioOutputTest, ASpokenSentenceReachesTheSinkAndRecordsBackAsSpeech)
{
    QProcess recorder;
    recorder.start(QStringLiteral("parec"),
                   {QStringLiteral("--device=%1").arg(QLatin1String(PulseAudioServer::kLoopSourceName)),
                    QStringLiteral("--format=s16le"), QStringLiteral("--rate=16000"), QStringLiteral("--channels=1"),
                    QStringLiteral("--latency-msec=20")});
    ASSERT_TRUE(recorder.waitForStarted(5000));
    QTest::qWait(300);  // let the recording stream settle before speech starts

    QtScheduler scheduler;
    SystemSpeechPlayer player(std::make_unique<EspeakSpeechSynthesizer>(std::make_unique<PulseAudioOutput>()),
                              scheduler);
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

// Scripts of calls on one output against the shared server: what it reports, and which of its
// streams the server has open at each mark.
TEST_F(PulseAudioOutputTest, ReportsOnlyAboutThePlaybackOfTheMomentAndKeepsAStreamOnlyWhileUseful)
{
    enum class Do { play, append, end, stop, wait, waitForReports, mark, destroy };
    struct Step {
        Do what;
        double value = 0;  // seconds of tone, milliseconds of waiting or a count of reports
        int rate = 22050;
    };
    const struct {
        const char* name;
        std::vector<Step> steps;
        QStringList reports;
        QStringList marks;
    } cases[] = {
        {"a next block that comes late plays to its end, then the stream closes",
         {{Do::play, 0.1}, {Do::wait, 600}, {Do::append, 0.3}, {Do::end}, {Do::waitForReports, 2}, {Do::mark},
          {Do::wait, 1500}, {Do::mark}},
         {"started", "finished"},
         {"22050Hz#1", ""}},
        {"a stream ended before any sample was played finishes",
         {{Do::play, 0.05}, {Do::end}, {Do::waitForReports, 2}},
         {"started", "finished"},
         {}},
        {"an empty stream finishes",
         {{Do::play, 0}, {Do::end}, {Do::waitForReports, 2}},
         {"started", "finished"},
         {}},
        {"stop drops every report, even those already due",
         {{Do::play, 0.2}, {Do::end}, {Do::stop}, {Do::wait, 600}, {Do::mark}},
         {},
         {""}},
        {"stop during the drain closes the stream without a report",
         {{Do::play, 0.3}, {Do::end}, {Do::wait, 100}, {Do::stop}, {Do::wait, 500}, {Do::mark}},
         {"started"},
         {""}},
        {"play while the previous stream drains: only the new one reports",
         {{Do::play, 0.3}, {Do::end}, {Do::wait, 100}, {Do::mark}, {Do::play, 0.2}, {Do::end},
          {Do::waitForReports, 3}, {Do::mark}, {Do::wait, 500}},
         {"started", "started", "finished"},
         {"22050Hz#1", "22050Hz#2"}},
        {"the next sentence at the same rate plays on the same stream",
         {{Do::play, 0.1}, {Do::end}, {Do::waitForReports, 2}, {Do::mark}, {Do::play, 0.1}, {Do::end},
          {Do::waitForReports, 4}, {Do::mark}},
         {"started", "finished", "started", "finished"},
         {"22050Hz#1", "22050Hz#1"}},
        {"a sentence at another rate gets a stream of its own",
         {{Do::play, 0.1}, {Do::end}, {Do::waitForReports, 2}, {Do::mark}, {Do::play, 0.1, 16000}, {Do::end},
          {Do::waitForReports, 4}, {Do::mark}},
         {"started", "finished", "started", "finished"},
         {"22050Hz#1", "16000Hz#2"}},
        {"destroying the output drops its reports and closes its stream",
         {{Do::play, 0.2}, {Do::end}, {Do::destroy}, {Do::wait, 300}, {Do::mark}},
         {},
         {""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto output = std::make_unique<PulseAudioOutput>();
        QStringList reports;
        recordReports(*output, reports);
        StreamNames streams(pulse());
        QStringList marks;
        for (const Step& step : c.steps) {
            switch (step.what) {
            case Do::play:
                output->play(tone(step.value, step.rate));
                break;
            case Do::append:
                output->append(tone(step.value, step.rate));
                break;
            case Do::end:
                output->endStream();
                break;
            case Do::stop:
                output->stop();
                break;
            case Do::wait:
                QTest::qWait(int(step.value));
                break;
            case Do::waitForReports:
                EXPECT_TRUE(QTest::qWaitFor([&] { return reports.size() >= int(step.value); }, 5000))
                    << reports.join(u'|').toStdString();
                break;
            case Do::mark:
                marks.append(streams.now());
                break;
            case Do::destroy:
                output.reset();
                break;
            }
        }
        EXPECT_EQ(reports, c.reports);
        EXPECT_EQ(marks, c.marks);
        output.reset();
        QTest::qWait(50);  // the server forgets the stream before the next case looks
    }
}

TEST_F(PulseAudioOutputTest, AServerThatGoesAwayMidStreamFailsThePlaybackOnceAndTheNextConnectsAgain)
{
    auto server = std::make_unique<PulseAudioServer>();
    ASSERT_TRUE(server->isRunning()) << server->error().toStdString();
    LogCapture log(kAudioLog);
    PulseAudioOutput output;
    QStringList reports;
    recordReports(output, reports);
    {
        const ScopedPulseServer scope(server->address().toLocal8Bit());
        output.play(tone(0.5));
    }
    QTest::qWait(100);
    server.reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return reports.size() == 2; }, 5000)) << reports.join(u'|').toStdString();
    output.append(tone(0.1));
    output.endStream();
    QTest::qWait(300);
    const QString reason = QStringLiteral("the audio output stream failed: Connection terminated");
    EXPECT_EQ(reports, (QStringList{QStringLiteral("started"), reason}));
    EXPECT_EQ(log.messages(), QStringList{QStringLiteral("playback failed: ") + reason});

    output.play(tone(0.05));
    output.endStream();
    ASSERT_TRUE(QTest::qWaitFor([&] { return reports.size() == 4; }, 5000)) << reports.join(u'|').toStdString();
    EXPECT_EQ(reports.mid(2), (QStringList{QStringLiteral("started"), QStringLiteral("finished")}));
}
