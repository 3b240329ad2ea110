#include "Pipeline/MinutesCapture.h"

#include "Audio/TestBuffers.h"
#include "Common/QtPrinters.h"
#include "Common/RecordedVoices.h"
#include "Common/WithoutLibrary.h"
#include "EngineHarness.h"
#include "Storage/AppPaths.h"
#include "Storage/SpeakerProfileStore.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using Phase = ConversationPhase;

namespace {

QStringList fileLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("<missing>")};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Recorded utterances of two real people, in the order they speak.
struct Meeting {
    std::vector<std::vector<float>> allison =
        RecordedVoices::utterances(RecordedVoices::people()[0], RecordedVoices::Line::telephone, 3);
    std::vector<std::vector<float>> carlo =
        RecordedVoices::utterances(RecordedVoices::people()[2], RecordedVoices::Line::telephone, 3);
};

struct CaptureRig {
    CaptureRig()
    {
        settings.setAppMode(AppMode::minutes);
        settings.setObsidianVaultPath(root.base() + QStringLiteral("/vault"));
        settings.setObsidianSyncMeetings(true);
    }
    QString textFile() const
    {
        return MinutesCapture::textFilePath(state.currentRecordingURL().value_or(QUrl()).toLocalFile());
    }
    // The meeting notes in the vault once every write queued so far is done: a marker note
    // queued behind them shows when.
    QStringList meetingNotes()
    {
        const QString folder = root.base() + QStringLiteral("/vault");
        const VaultTarget target{folder, QStringLiteral("Parlivox")};
        vault.writeMeeting(target, QString(), clock.wallNow(), QStringLiteral("marker"));
        QStringList notes;
        EXPECT_TRUE(QTest::qWaitFor([&] {
            notes.clear();
            for (QDirIterator it(folder, {"*.md"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
                notes << it.next();
            return !notes.filter(QStringLiteral("marker")).isEmpty();
        }));
        return notes.filter(QRegularExpression(QStringLiteral("\\d\\.md$")));
    }
    QStringList lines(const QString& category) const
    {
        QStringList found;
        for (const PipelineLog::Entry& entry : log.entries())
            if (entry.category == category)
                found << entry.message;
        return found;
    }

    ScopedDataRoot root;
    FakeScheduler clock;
    UserDefaults defaults{root.base() + QStringLiteral("/defaults.json")};
    AppSettings settings{defaults, AppSettings::Environment{}};
    EngineState state;
    MinutesStore minutes;
    PipelineLog log{clock};
    ObsidianSync vault;
    MinutesCapture capture{{settings, clock, state, minutes, log, vault}};
};

TEST(MinutesCapture, LinesFollowTheirSpeakersARenameRewritesTheFileAndTheMeetingGoesToTheVaultOnce)
{
    CaptureRig rig;
    const Meeting meeting;
    const AudioFormat format{double(RecordedVoices::kTelephoneRate), 1};
    rig.capture.start(format);
    ASSERT_TRUE(rig.state.currentRecordingURL().has_value());
    const QString recording = rig.state.currentRecordingURL()->toLocalFile();
    EXPECT_EQ(QFileInfo(recording).fileName(), "meeting-20260105-090000.caf");
    EXPECT_EQ(rig.lines("minutes"), QStringList{"recording → meeting-20260105-090000.caf (8000.0Hz 1ch)"});
    EXPECT_EQ(rig.textFile(), AppPaths::minutes() + "/meeting-20260105-090000.txt");

    std::int64_t frames = 0;
    const auto say = [&](const std::vector<float>& samples, const QString& text) {
        rig.capture.append(makeBuffer(
            format, std::int64_t(samples.size()), [&](int, std::int64_t f) { return samples[std::size_t(f)]; },
            frames));
        frames += std::int64_t(samples.size());
        rig.clock.advance(5s);
        rig.capture.takeTurn(text);
    };
    say(meeting.allison[0], QStringLiteral("The quarterly budget review starts on Monday."));
    say(meeting.carlo[0], QStringLiteral("We moved the launch to next week."));
    say(meeting.allison[1], QStringLiteral("Then the tests will be finished."));
    rig.capture.takeTurn(QStringLiteral("…"));  // nothing heard since the last line: no speaker

    const QStringList written = {"# Parlivox minutes — started 2026-01-05 09:00:00",
                                 "# Audio: meeting-20260105-090000.caf",
                                 "[2026-01-05 09:00:05] Speaker 1: The quarterly budget review starts on Monday.",
                                 "[2026-01-05 09:00:10] Speaker 2: We moved the launch to next week.",
                                 "[2026-01-05 09:00:15] Speaker 1: Then the tests will be finished.",
                                 "[2026-01-05 09:00:15] Unknown: …"};
    EXPECT_EQ(fileLines(rig.textFile()), written);
    EXPECT_EQ(rig.minutes.knownSpeakers().size(), 2);

    // A rename rewrites every line and keeps the capture's start in the header.
    rig.clock.advance(1min);
    rig.capture.renameSpeaker(2, QStringLiteral("  Bea "));
    rig.capture.renameSpeaker(1, QStringLiteral(" \n"));
    QStringList renamed = written;
    renamed[3].replace("Speaker 2", "Bea");
    EXPECT_EQ(fileLines(rig.textFile()), renamed);
    EXPECT_EQ(rig.minutes.entries()[1].speakerLabel, "Bea");

    // Enrolling a chip stores that speaker's voice, whoever spoke last.
    EXPECT_FALSE(rig.capture.enrollSpeaker(7, QStringLiteral("Nobody")));
    EXPECT_TRUE(rig.capture.enrollSpeaker(2, QStringLiteral("Bea")));
    EXPECT_EQ(rig.lines("minutes").last(), "enrolled 'Bea' as speaker 2");
    ASSERT_EQ(SpeakerProfileStore::load().size(), 1);
    EXPECT_EQ(SpeakerProfileStore::load().first().embedding, rig.minutes.knownSpeakers()[1].embedding);

    rig.capture.stop();
    rig.capture.stop();  // a second stop exports nothing again
    EXPECT_FALSE(rig.capture.isRecording());
    EXPECT_TRUE(QTest::qWaitFor([&] { return rig.lines("minutes").last().startsWith("recording closed"); }));
    EXPECT_EQ(rig.lines("minutes").last(), QStringLiteral("recording closed (%1 samples)").arg(frames));
    SF_INFO info;
    EXPECT_EQ(readSoundFile(recording, info).size(), std::size_t(frames));
    EXPECT_EQ(rig.state.currentRecordingURL(), QUrl::fromLocalFile(recording));  // the view can still reveal it
    // The chips stay on screen after the meeting, and naming them still works.
    EXPECT_TRUE(rig.capture.enrollSpeaker(1, QStringLiteral("Max")));
    EXPECT_EQ(SpeakerProfileStore::load().size(), 2);

    const QStringList meetings = rig.meetingNotes();
    ASSERT_EQ(meetings.size(), 1);
    EXPECT_TRUE(fileLines(meetings.first()).join('\n').endsWith(renamed.join('\n')));
}

TEST(MinutesCapture, ModeSwitchesStartAndStopOnlyWhatIsNeeded)
{
    CaptureRig rig;
    rig.settings.setAppMode(AppMode::conversation);
    rig.capture.applyModeChange(AudioFormat{48000, 2});  // out of minutes with nothing running
    EXPECT_TRUE(rig.lines("session").isEmpty());

    rig.settings.setAppMode(AppMode::minutes);
    rig.capture.applyModeChange(std::nullopt);
    rig.capture.applyModeChange(AudioFormat{48000, 2});
    rig.capture.applyModeChange(AudioFormat{48000, 2});  // already running
    EXPECT_EQ(rig.lines("session"),
              QStringList({"mode→minutes deferred: no input format yet", "switched to minutes (hot, no restart)"}));
    const std::optional<QUrl> first = rig.state.currentRecordingURL();
    ASSERT_TRUE(first.has_value());

    rig.settings.setAppMode(AppMode::brainstorm);
    rig.capture.applyModeChange(AudioFormat{48000, 2});
    EXPECT_EQ(rig.lines("session").last(), "switched to brainstorm (hot, no restart)");
    EXPECT_FALSE(rig.capture.isRecording());
    EXPECT_EQ(rig.state.currentRecordingURL(), std::nullopt);
    EXPECT_TRUE(rig.minutes.knownSpeakers().isEmpty());

    // Back in the same second: a recording of its own, and a minutes file of the same name.
    rig.settings.setAppMode(AppMode::minutes);
    rig.capture.applyModeChange(AudioFormat{48000, 2});
    EXPECT_EQ(QFileInfo(rig.state.currentRecordingURL()->toLocalFile()).fileName(), "meeting-20260105-090000-2.caf");
    EXPECT_EQ(QFileInfo(rig.textFile()).fileName(), "meeting-20260105-090000-2.txt");
}

TEST(MinutesCapture, WithoutARecordingLinesAreStillLabelledButNoFileIsWritten)
{
    CaptureRig rig;
    // The recordings folder cannot be made: a file stands in its place.
    QFile blocker(AppPaths::recordings());
    ASSERT_TRUE(QDir().mkpath(AppPaths::root()) && blocker.open(QIODevice::WriteOnly));
    rig.capture.start(AudioFormat{double(RecordedVoices::kTelephoneRate), 1});
    ASSERT_EQ(rig.lines("error").size(), 1);
    EXPECT_TRUE(rig.lines("error").first().startsWith("minutes recording failed: "));
    EXPECT_EQ(rig.state.currentRecordingURL(), std::nullopt);
    EXPECT_TRUE(rig.capture.isRecording());
    rig.capture.takeTurn(QStringLiteral("still written down"));
    EXPECT_EQ(rig.minutes.entries().size(), 1);
    EXPECT_FALSE(QDir(AppPaths::minutes()).exists() && !QDir(AppPaths::minutes()).isEmpty());
    rig.capture.stop();
    EXPECT_TRUE(rig.meetingNotes().isEmpty());
}

// Without FFTW there are no voice signatures: the meeting is still written down, each line
// under "Unknown", and the user is told why, in the banner once a run.
TEST(MinutesCapture, WithoutFftwEveryLineIsWrittenUnderUnknownAndTheReasonIsGiven)
{
    if (!withoutLibrary(QStringLiteral("libfftw3f.so.3")))
        return;
    CaptureRig rig;
    const Meeting meeting;
    const AudioFormat format{double(RecordedVoices::kTelephoneRate), 1};
    const QString reason = QStringLiteral("no speaker labels: libfftw3f.so.3 cannot be loaded: ");
    for (int capture = 0; capture < 2; ++capture) {
        SCOPED_TRACE(capture);
        rig.state.setErrorMessage(std::nullopt);
        rig.capture.start(format);
        ASSERT_EQ(rig.lines("error").size(), capture + 1);
        EXPECT_TRUE(rig.lines("error").last().startsWith(reason)) << rig.lines("error").last().toStdString();
        EXPECT_EQ(rig.state.errorMessage().has_value(), capture == 0);
        rig.capture.append(makeBuffer(
            format, std::int64_t(meeting.carlo[0].size()),
            [&](int, std::int64_t f) { return meeting.carlo[0][std::size_t(f)]; }, 0));
        rig.capture.takeTurn(QStringLiteral("We moved the launch to next week."));
        EXPECT_EQ(fileLines(rig.textFile()).last(),
                  QStringLiteral("[2026-01-05 09:00:0%1] Unknown: We moved the launch to next week.").arg(capture));
        EXPECT_TRUE(rig.minutes.knownSpeakers().isEmpty());
        EXPECT_FALSE(rig.capture.enrollSpeaker(1, QStringLiteral("Carlo")));
        rig.capture.stop();
        EXPECT_TRUE(QTest::qWaitFor([&] { return rig.lines("minutes").last().startsWith("recording closed"); }));
        rig.clock.advance(1s);
    }
}

// The whole engine in minutes mode: the microphone hears two voices, each turn becomes a
// labelled line beside the recording, and nothing is asked of a backend.
TEST(MinutesCapture, AMinutesSessionWritesLabelledLinesBesideItsRecording)
{
    EngineHarness h;
    h.settings.setAppMode(AppMode::minutes);
    h.capture->format = {double(RecordedVoices::kTelephoneRate), 1};
    const Meeting meeting;
    h.clockIn();
    ASSERT_EQ(h.phase(), Phase::listening);
    ASSERT_TRUE(h.engine->state().currentRecordingURL().has_value());
    const QString recording = h.engine->state().currentRecordingURL()->toLocalFile();

    const auto say = [&](const std::vector<float>& samples, const QString& text) {
        ScriptedCaptureBackend::deliver(*h.capture, samples);
        QTest::qWait(50);  // the listening loop takes the buffers
        h.recognizer.live->onTranscript(text);
        h.engine->fireNow();
    };
    say(meeting.allison[0], QStringLiteral("The quarterly budget review starts on Monday."));
    say(meeting.carlo[0], QStringLiteral("We moved the launch to next week."));
    say(meeting.allison[1], QStringLiteral("Then the tests will be finished."));
    EXPECT_EQ(h.phase(), Phase::listening);
    EXPECT_TRUE(h.backend.calls.empty());

    QStringList labels;
    for (const MinutesEntry& entry : h.engine->minutes().entries())
        labels << entry.speakerLabel;
    EXPECT_EQ(labels, QStringList({"Speaker 1", "Speaker 2", "Speaker 1"}));
    const QStringList lines = fileLines(MinutesCapture::textFilePath(recording));
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[3], "[2026-01-05 09:00:00] Speaker 2: We moved the launch to next week.");

    h.engine->setEnabled(false);
    ASSERT_TRUE(h.settle([&] { return h.phase() == Phase::idle; }));
    EXPECT_TRUE(h.settle([&] { return h.lines("minutes").last().startsWith("recording closed"); }));
    SF_INFO info;
    EXPECT_GT(readSoundFile(recording, info).size(), std::size_t(RecordedVoices::kTelephoneRate) * 6);
}

}  // namespace
