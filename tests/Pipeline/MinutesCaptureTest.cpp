#include "Pipeline/MinutesCapture.h"

#include "Audio/TestBuffers.h"
#include "Common/QtPrinters.h"
#include "Common/RecordedVoices.h"
#include "Common/ScopedTimeZone.h"
#include "Common/WithoutLibrary.h"
#include "Conversation/ConversationHistory.h"
#include "EngineHarness.h"
#include "Storage/AppPaths.h"
#include "Storage/SpeakerProfileStore.h"

#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <optional>
#include <set>

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

// A second meeting of the same run starts with none of the first's lines, and every time in
// the files is the local time of the user's zone.
TEST(MinutesCapture, ASecondMeetingStartsEmptyAndItsTimesAreLocal)
{
    const ScopedTimeZone seoul("Asia/Seoul");
    CaptureRig rig;  // its clock starts at 09:00 in Seoul, 00:00 UTC
    const AudioFormat format{48000, 1};
    rig.capture.start(format);
    const QString first = rig.textFile();
    rig.clock.advance(5s);
    rig.capture.takeTurn(QStringLiteral("first meeting"));
    rig.capture.stop();
    rig.clock.advance(1h);
    rig.capture.start(format);
    rig.clock.advance(5s);
    rig.capture.takeTurn(QStringLiteral("second meeting"));
    rig.capture.stop();

    EXPECT_EQ(fileLines(first),
              QStringList({"# Parlivox minutes — started 2026-01-05 09:00:00", "# Audio: meeting-20260105-090000.caf",
                           "[2026-01-05 09:00:05] Unknown: first meeting"}));
    EXPECT_EQ(fileLines(rig.textFile()),
              QStringList({"# Parlivox minutes — started 2026-01-05 10:00:05", "# Audio: meeting-20260105-100005.caf",
                           "[2026-01-05 10:00:10] Unknown: second meeting"}));
    ASSERT_EQ(rig.minutes.entries().size(), 1);
    EXPECT_EQ(rig.minutes.entries().first().text, "second meeting");
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

// A meeting played into the engine's scripted microphone at 48 kHz, at the pace of speech on
// virtual time, with the faint noise of a room between the words. The recognizer's transcript
// (the whole text since it last started afresh, as a recognizer gives it) grows word by word
// with the speech and is complete by the utterance's last loud buffer, or, for a recognizer
// that finishes late, by its final text some time after the speech, before any later words.
struct SpokenMeeting {
    static constexpr int kRate = 48000;
    static constexpr std::size_t kBuffer = 4096;

    explicit SpokenMeeting(EngineHarness& harness) : h(harness)
    {
        h.capture->format = {double(kRate), 1};
        h.settings.setAppMode(AppMode::minutes);
        h.settings.setObsidianVaultPath(vault.path());
        h.settings.setObsidianSyncMeetings(true);
    }

    // `lateMs` > 0: the last word comes only with the final text, that long after the last loud
    // buffer; the recognizer says meanwhile that it is still finishing.
    void say(const std::vector<float>& recorded, const QString& words, int lateMs = 0)
    {
        std::vector<float> samples = RecordedVoices::resampled(recorded, RecordedVoices::kTelephoneRate, kRate);
        samples.resize((samples.size() + kBuffer - 1) / kBuffer * kBuffer);  // whole captured buffers
        QStringList spoken = words.split(u' ');
        const QString last = lateMs ? spoken.takeLast() : QString();
        m_lateMs = lateMs;
        std::vector<bool> loud;
        for (std::size_t at = 0; at < samples.size(); at += kBuffer) {
            double squares = 0;
            const std::size_t end = std::min(at + kBuffer, samples.size());
            for (std::size_t i = at; i < end; ++i)
                squares += double(samples[i]) * samples[i];
            loud.push_back(std::sqrt(squares / double(end - at)) >= 0.012);
        }
        const auto loudTotal = std::count(loud.begin(), loud.end(), true);
        qsizetype heardLoud = 0, shown = 0;
        for (std::size_t at = 0, n = 0; at < samples.size(); at += kBuffer, ++n) {
            play({samples.begin() + std::ptrdiff_t(at),
                  samples.begin() + std::ptrdiff_t(std::min(at + kBuffer, samples.size()))});
            if (!loud[n])
                continue;
            const qsizetype heard = (++heardLoud * spoken.size() + loudTotal - 1) / loudTotal;
            if (heard > shown) {
                transcribe(spoken.mid(shown, heard - shown).join(u' '));
                shown = heard;
            }
        }
        if (m_late)
            finishLate();
        if (lateMs)
            m_late = Late{h.scheduler.elapsed() + std::chrono::milliseconds(lateMs), m_transcript + u' ' + last,
                          h.recognizer.setAside};
    }
    void pause(double seconds)
    {
        for (std::size_t at = 0; at < std::size_t(seconds * kRate); at += kBuffer)
            play(std::vector<float>(kBuffer, 0.0f));
    }

    QStringList minutesLines() const
    {
        QStringList lines =
            fileLines(MinutesCapture::textFilePath(h.engine->state().currentRecordingURL()->toLocalFile()));
        return lines.mid(2);
    }
    QStringList meetingNotes() const
    {
        QStringList notes;
        for (QDirIterator it(vault.path(), {"*.md"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            notes << it.next();
        return notes;
    }

    EngineHarness& h;
    QTemporaryDir vault;

private:
    // One captured buffer, with the room's noise where it is quieter, once the engine took it.
    void play(std::vector<float> samples)
    {
        for (float& sample : samples)
            sample += float(m_noise.generateDouble() - 0.5) * 0.01f;
        const int fed = h.recognizer.fed;
        ScriptedCaptureBackend::deliver(*h.capture, samples);
        EXPECT_TRUE(h.settle([&] { return h.recognizer.fed > fed; }));
        m_frames += std::int64_t(samples.size());
        h.scheduler.advance(std::chrono::milliseconds(m_frames * 1000 / kRate) - h.scheduler.elapsed());
        if (m_late && h.scheduler.elapsed() >= m_late->at)
            finishLate();
    }
    // The final text completes the transcript, or the one the engine set aside when the
    // utterance's turn ended before it.
    void finishLate()
    {
        h.recognizer.finishing = false;
        const Late late = *std::exchange(m_late, std::nullopt);
        if (h.recognizer.setAside > late.setAside) {
            h.recognizer.live->onLateFinal(late.transcript);
        } else {
            m_transcript = late.transcript;
            h.recognizer.live->onTranscript(m_transcript);
        }
        for (const QString& words : std::exchange(m_lagging, {}))
            transcribe(words);
    }
    void transcribe(const QString& words)
    {
        // The recognizer finishes an utterance before it gives the words of the next: those
        // wait, while the detector already hears the next voice.
        if (m_late) {
            m_lagging << words;
            return;
        }
        h.recognizer.finishing = m_lateMs > 0;
        if (h.recognizer.resets != m_resets) {
            m_resets = h.recognizer.resets;
            m_transcript.clear();
        }
        m_transcript = m_transcript.isEmpty() ? words : m_transcript + u' ' + words;
        h.recognizer.live->onTranscript(m_transcript);
    }

    QRandomGenerator m_noise{7};
    std::int64_t m_frames = 0;
    int m_resets = 0;
    QString m_transcript;
    struct Late {
        std::chrono::milliseconds at;
        QString transcript;
        int setAside;  // the recognizer's count when the speech ended
    };
    std::optional<Late> m_late;
    QStringList m_lagging;  // words heard while the last utterance is still being finished
    int m_lateMs = 0;  // of the utterance being said
};

// People answering each other after 1.5 to 3 s, or at once while the recognizer still finishes
// the last words: every utterance is written down, each line holds one person, a person going
// on after a pause stays in the line, and the last words, still open when the meeting is
// clocked out, are kept in the file and in the meeting note.
TEST(MinutesCapture, EveryWordIsKeptAndEachLineIsOnePerson)
{
    const QStringList phrases = {
        "budget review starts monday", "launch moved to next week",   "tests will be finished",
        "marketing needs the slides",  "the venue is booked",         "invoices went out friday",
        "hiring freeze until march",   "customers asked for exports", "the demo went well",
        "release notes are drafted",   "support tickets are down",    "we meet again thursday",
    };
    const QStringList& people = RecordedVoices::people();
    std::vector<std::vector<std::vector<float>>> voices, words;
    for (const QString& person : people) {
        voices.push_back(RecordedVoices::utterances(person, RecordedVoices::Line::telephone, 6));
        ASSERT_EQ(voices.back().size(), 6u) << person.toStdString();
        words.push_back(RecordedVoices::words(person, RecordedVoices::Line::telephone, 2));
        ASSERT_EQ(words.back().size(), 2u) << person.toStdString();
    }
    // A last word after a pause that ends an English turn.
    const QString tailWords[] = {QStringLiteral("then"), QStringLiteral("too")};
    constexpr double kTailPause = 0.9;
    const auto tailOf = [](const std::set<std::size_t>& tails, std::size_t turn) {
        return std::size_t(std::distance(tails.begin(), tails.find(turn)));
    };
    const struct {
        const char* name;
        const char* localeID;  // Korean turns wait longer
        std::vector<int> order;  // who speaks, in turn; a repeat is one person going on
        std::vector<double> gaps;  // before another person's answer, in turn
        int lateMs;  // the recognizer's final text after the speech
        double endPause;  // from the last words to the clock-out
        std::set<std::size_t> tails;  // turns their speaker ends with one more word
    } meetings[] = {
        {"two people", "en-US", {0, 2, 0, 2, 2, 0, 2}, {1.5, 2.0, 2.5, 3.0}, 0, 0.5, {1, 5}},
        {"three people", "ko-KR", {0, 0, 1, 2, 1, 0, 0, 2, 1}, {1.5, 2.0, 2.5, 3.0}, 0, 0.5, {}},
        {"two people answering at once", "en-US", {0, 2, 0, 2, 2, 0, 2}, {0.8, 1.0, 1.2}, 1300, 2.0, {}},
        {"three people answering at once", "en-US", {0, 1, 2, 1, 0, 0, 2, 1}, {1.2, 0.8, 1.0}, 1300, 2.0, {}},
    };
    // A person's own pause: a detector that learns from it would wait past the next answer.
    constexpr double kHesitation = 1.8;
    for (const auto& meeting : meetings) {
        SCOPED_TRACE(meeting.name);
        EngineHarness h;
        SpokenMeeting spoken(h);
        h.settings.setLocaleID(QString::fromLatin1(meeting.localeID));
        h.clockIn();
        ASSERT_EQ(h.phase(), Phase::listening);
        std::vector<std::size_t> used(people.size(), 0);
        for (std::size_t turn = 0; turn < meeting.order.size(); ++turn) {
            if (turn > 0)
                spoken.pause(meeting.order[turn] == meeting.order[turn - 1]
                                 ? kHesitation
                                 : meeting.gaps[turn % meeting.gaps.size()]);
            const auto person = std::size_t(meeting.order[turn]);
            spoken.say(voices[person][used[person]++], phrases[qsizetype(turn)], meeting.lateMs);
            if (meeting.tails.contains(turn)) {
                spoken.pause(kTailPause);
                spoken.say(words[person][tailOf(meeting.tails, turn)], tailWords[tailOf(meeting.tails, turn)]);
            }
        }
        spoken.pause(meeting.endPause);
        h.engine->setEnabled(false);
        ASSERT_TRUE(h.settle([&] { return h.phase() == Phase::idle; }));

        const QStringList lines = spoken.minutesLines();
        std::vector<std::set<int>> speakersOfLine(std::size_t(lines.size()));
        for (std::size_t turn = 0; turn < meeting.order.size(); ++turn) {
            const QString& phrase = phrases[qsizetype(turn)];
            const auto found =
                std::find_if(lines.begin(), lines.end(), [&](const QString& l) { return l.contains(phrase); });
            const qsizetype line = found == lines.end() ? -1 : found - lines.begin();
            ASSERT_GE(line, 0) << phrase.toStdString() << "\n" << lines.join(u'\n').toStdString();
            EXPECT_EQ(lines.join(u'\n').count(phrase), 1) << phrase.toStdString();
            speakersOfLine[std::size_t(line)].insert(meeting.order[turn]);
            if (meeting.tails.contains(turn)) {  // the last word stays with its sentence
                EXPECT_TRUE(lines[line].contains(phrase + u' ' + tailWords[tailOf(meeting.tails, turn)]))
                    << lines[line].toStdString();
            }
        }
        for (std::size_t line = 0; line < speakersOfLine.size(); ++line)
            EXPECT_EQ(speakersOfLine[line].size(), 1u) << lines[qsizetype(line)].toStdString();
        // A person going on after a pause, nobody between, stays in the line.
        const auto changes = std::inner_product(meeting.order.begin() + 1, meeting.order.end(), meeting.order.begin(),
                                                0, std::plus<>(), std::not_equal_to<>());
        EXPECT_EQ(lines.size(), changes + 1) << lines.join(u'\n').toStdString();
        // Lines end where the voice changes.
        for (qsizetype line = 1; line < lines.size(); ++line)
            EXPECT_NE(lines[line].section(u' ', 2, 3), lines[line - 1].section(u' ', 2, 3));

        QStringList notes;
        EXPECT_TRUE(QTest::qWaitFor([&] { return !(notes = spoken.meetingNotes()).isEmpty(); }));
        ASSERT_EQ(notes.size(), 1);
        EXPECT_TRUE(fileLines(notes.first()).join(u'\n').contains(phrases[qsizetype(meeting.order.size() - 1)]));
    }
}

// Quitting in the middle of a meeting ends it as clocking out does: the words still open are
// written down, the recording is closed and the meeting goes to the vault.
TEST(MinutesCapture, QuittingDuringAMeetingWritesItDown)
{
    const auto allison = RecordedVoices::utterances(RecordedVoices::people()[0], RecordedVoices::Line::telephone, 1);
    const auto carlo = RecordedVoices::utterances(RecordedVoices::people()[2], RecordedVoices::Line::telephone, 1);
    ASSERT_EQ(allison.size() + carlo.size(), 2u);
    const ScopedDataRoot root;  // this meeting's history only
    EngineHarness h;
    SpokenMeeting spoken(h);
    h.clockIn();
    spoken.say(allison[0], QStringLiteral("budget review starts monday"));
    spoken.pause(2.0);
    spoken.say(carlo[0], QStringLiteral("launch moved to next week"));
    spoken.pause(0.3);
    const QString recording = h.engine->state().currentRecordingURL()->toLocalFile();
    const QString day = ConversationHistory::dayFilePath(h.scheduler.wallNow());
    h.engine.reset();

    const QStringList lines = fileLines(MinutesCapture::textFilePath(recording));
    ASSERT_EQ(lines.size(), 4) << lines.join(u'\n').toStdString();
    EXPECT_TRUE(lines[2].endsWith("Speaker 1: budget review starts monday")) << lines[2].toStdString();
    EXPECT_TRUE(lines[3].endsWith("Speaker 2: launch moved to next week")) << lines[3].toStdString();
    const QStringList notes = spoken.meetingNotes();
    ASSERT_EQ(notes.size(), 1);
    EXPECT_TRUE(fileLines(notes.first()).join(u'\n').endsWith(lines.join(u'\n')));
    SF_INFO info;
    EXPECT_GT(readSoundFile(recording, info).size(), std::size_t(SpokenMeeting::kRate) * 5);
    EXPECT_EQ(fileLines(day).size(), 2) << "both turns kept in the history";
}

// Every way out of minutes, or into a pause, first writes down the words still open.
TEST(MinutesCapture, WordsStillOpenAreWrittenWhateverEndsTheMinutes)
{
    const auto allison = RecordedVoices::utterances(RecordedVoices::people()[0], RecordedVoices::Line::telephone, 1);
    ASSERT_EQ(allison.size(), 1u);
    const struct {
        const char* name;
        std::function<void(EngineHarness&)> end;
    } ways[] = {
        {"clock out", [](EngineHarness& h) { h.engine->setEnabled(false); }},
        {"switch to conversation",
         [](EngineHarness& h) {
             h.settings.setAppMode(AppMode::conversation);
             h.engine->applyAppModeChange();
         }},
        {"rest", [](EngineHarness& h) { h.engine->restNow(); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        const ScopedDataRoot root;
        EngineHarness h;
        SpokenMeeting spoken(h);
        h.clockIn();
        spoken.say(allison[0], QStringLiteral("budget review starts monday"));
        spoken.pause(0.5);
        ASSERT_TRUE(h.engine->minutes().entries().isEmpty());
        const QString file =
            MinutesCapture::textFilePath(h.engine->state().currentRecordingURL().value_or(QUrl()).toLocalFile());
        way.end(h);
        h.settle([] { return true; });
        ASSERT_EQ(h.engine->minutes().entries().size(), 1);
        EXPECT_EQ(h.engine->minutes().entries().first().text, "budget review starts monday");
        EXPECT_EQ(fileLines(file).mid(2), QStringList{"[2026-01-05 09:00:05] Speaker 1: budget review starts monday"});
        EXPECT_TRUE(h.backend.calls.empty()) << "minutes are never sent to a backend";
        EXPECT_EQ(h.lines("turn"), QStringList{"ended (minutes): budget review starts monday"});
    }
}

}  // namespace
