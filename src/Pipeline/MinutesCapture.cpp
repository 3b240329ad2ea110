#include "Pipeline/MinutesCapture.h"

#include "Audio/AudioRecorder.h"
#include "Audio/SpeakerClassifier.h"
#include "Conversation/MinutesText.h"
#include "Diagnostics/PipelineLog.h"
#include "Persistence/AppSettings.h"
#include "Pipeline/EngineState.h"
#include "Pipeline/MinutesStore.h"
#include "Storage/AppPaths.h"
#include "Storage/ObsidianSync.h"
#include "Support/FileIO.h"
#include "Support/Scheduler.h"
#include "Support/Text.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

const QString kMinutesCategory = QStringLiteral("minutes");
const QString kSessionCategory = QStringLiteral("session");

}  // namespace

MinutesCapture::MinutesCapture(Parts parts) : m_parts(parts)
{
}

MinutesCapture::~MinutesCapture()
{
    for (const QPointer<AudioRecorder>& recorder : m_closing)
        delete recorder.data();
}

QString MinutesCapture::textFilePath(const QString& recordingPath)
{
    return QDir(AppPaths::minutes()).filePath(QFileInfo(recordingPath).completeBaseName() + QStringLiteral(".txt"));
}

std::optional<QString> MinutesCapture::textFile() const
{
    const std::optional<QUrl>& recording = m_parts.state.currentRecordingURL();
    if (!recording)
        return std::nullopt;
    return textFilePath(recording->toLocalFile());
}

void MinutesCapture::start(const AudioFormat& inputFormat)
{
    m_running = true;
    m_lastUtterance.reset();
    m_parts.minutes.setEntries({});
    m_classifier.reset();
    if (const QString unavailable = SpeakerClassifier::unavailableReason(); unavailable.isEmpty()) {
        m_classifier = std::make_unique<SpeakerClassifier>();
        m_classifier->loadEnrolledProfiles();
        m_classifier->resetUtterance();
    } else {
        // The meeting is still written down, every line under "Unknown".
        const QString reason = QStringLiteral("no speaker labels: ") + unavailable;
        m_parts.log.record(QStringLiteral("error"), reason);
        if (!std::exchange(m_toldNoLabels, true))
            m_parts.state.setErrorMessage(reason);
    }
    publishSpeakers();

    m_startedAt = m_parts.clock.wallNow();
    QString error;
    m_recorder = AudioRecorder::create(AudioRecorder::makeURL(kRecordingPrefix, m_startedAt), inputFormat, &error);
    if (!m_recorder) {
        m_parts.log.record(QStringLiteral("error"), QStringLiteral("minutes recording failed: ") + error);
        m_parts.state.setCurrentRecordingURL(std::nullopt);
        return;
    }
    const QFileInfo recording(m_recorder->path());
    FileIO::ensureDirectory(AppPaths::minutes());
    m_parts.state.setCurrentRecordingURL(QUrl::fromLocalFile(recording.absoluteFilePath()));
    m_parts.log.record(kMinutesCategory, QStringLiteral("recording → %1 (%2Hz %3ch)")
                                             .arg(recording.fileName(), Text::shortestDecimal(inputFormat.sampleRate))
                                             .arg(inputFormat.channels));
    rewriteTextFile();
}

void MinutesCapture::stop()
{
    if (m_recorder) {
        exportToVault();
        AudioRecorder* recorder = m_recorder.release();
        m_closing.emplace_back(recorder);
        recorder->close([this, recorder](const AudioRecorder::Totals& totals) {
            m_parts.log.record(kMinutesCategory,
                               QStringLiteral("recording closed (%1 samples)").arg(totals.samplesWritten));
            std::erase(m_closing, QPointer<AudioRecorder>(recorder));
            recorder->deleteLater();
        });
    }
    m_running = false;
}

bool MinutesCapture::isRecording() const
{
    return m_running;
}

void MinutesCapture::append(const AudioBufferPtr& buffer)
{
    if (!m_running)
        return;
    if (m_recorder)
        m_recorder->append(buffer);
    if (m_classifier)
        m_classifier->accumulate(buffer);
}

void MinutesCapture::takeTurn(const QString& text)
{
    std::optional<Speaker> speaker;
    if (m_running && m_classifier) {
        speaker = m_classifier->endUtterance();
        m_classifier->resetUtterance();
    }
    if (m_running)
        publishSpeakers();
    // The same voice after a pause goes on in the line it began; another voice begins its own.
    const QList<MinutesEntry>& entries = m_parts.minutes.entries();
    if (speaker && !entries.isEmpty() && entries.last().speakerID == speaker->id) {
        const MinutesEntry& line = entries.last();
        m_lastUtterance = LastUtterance{line.id, line.text.size() + 1, text};
        m_parts.minutes.setEntryText(line.id, line.text + QLatin1Char(' ') + text);
        rewriteTextFile();
        return;
    }
    const MinutesEntry entry = speaker
                                   ? MinutesEntry::make(m_parts.clock.wallNow(), speaker->id, speaker->label, text)
                                   : MinutesEntry::make(m_parts.clock.wallNow(), MinutesEntry::kUnattributedSpeakerID,
                                                        MinutesEntry::unknownSpeakerLabel(), text);
    m_lastUtterance = LastUtterance{entry.id, 0, text};
    m_parts.minutes.appendEntry(entry);
    if (const std::optional<QString> file = textFile()) {
        QString error;
        reportWrite(FileIO::append(*file, MinutesText::line(entry).toUtf8(), &error), error);
    }
}

void MinutesCapture::amendTurn(const QString& text)
{
    const std::optional<LastUtterance> last = std::exchange(m_lastUtterance, std::nullopt);
    if (!last || text.isEmpty() || text == last->text)
        return;
    const QList<MinutesEntry>& entries = m_parts.minutes.entries();
    const auto line =
        std::find_if(entries.begin(), entries.end(), [&](const MinutesEntry& entry) { return entry.id == last->entryID; });
    // A line that no longer holds the words where they were put is left as it is.
    if (line == entries.end() || line->text.mid(last->start, last->text.size()) != last->text)
        return;
    QString amended = line->text;
    amended.replace(last->start, last->text.size(), text);
    m_parts.minutes.setEntryText(last->entryID, amended);
    rewriteTextFile();
}

void MinutesCapture::applyModeChange(const std::optional<AudioFormat>& inputFormat)
{
    const AppMode mode = m_parts.settings.appMode();
    if (mode != AppMode::minutes) {
        if (!isRecording())
            return;
        stop();
        m_parts.state.setCurrentRecordingURL(std::nullopt);
        m_parts.minutes.setKnownSpeakers({});
        m_parts.log.record(kSessionCategory,
                           QStringLiteral("switched to ") + rawValue(mode) + QStringLiteral(" (hot, no restart)"));
        return;
    }
    if (isRecording())
        return;
    if (!inputFormat) {
        m_parts.log.record(kSessionCategory, QStringLiteral("mode→minutes deferred: no input format yet"));
        return;
    }
    start(*inputFormat);
    m_parts.log.record(kSessionCategory, QStringLiteral("switched to minutes (hot, no restart)"));
}

void MinutesCapture::renameSpeaker(int speakerID, const QString& name)
{
    if (!m_parts.minutes.renameSpeaker(speakerID, name))
        return;
    if (m_classifier)
        m_classifier->renameSpeaker(speakerID, name);
    rewriteTextFile();
}

bool MinutesCapture::enrollSpeaker(int speakerID, const QString& name)
{
    if (!m_classifier)
        return false;
    QString error;
    if (!m_classifier->enrollSpeaker(speakerID, name, &error)) {
        if (!error.isEmpty())
            m_parts.log.record(QStringLiteral("error"),
                               QStringLiteral("enrolling '%1' failed: %2").arg(Text::trimmed(name), error));
        return false;
    }
    publishSpeakers();
    m_parts.log.record(kMinutesCategory,
                       QStringLiteral("enrolled '%1' as speaker %2").arg(Text::trimmed(name)).arg(speakerID));
    return true;
}

void MinutesCapture::publishSpeakers()
{
    m_parts.minutes.setKnownSpeakers(m_classifier ? m_classifier->allSpeakers() : QList<Speaker>());
}

void MinutesCapture::exportToVault()
{
    const std::optional<VaultTarget> target = VaultTarget::fromSettings(m_parts.settings);
    const std::optional<QString> file = textFile();
    if (!m_parts.settings.obsidianSyncMeetings() || !target || !file)
        return;
    const std::optional<QByteArray> bytes = FileIO::readAll(*file);
    const std::optional<QString> text = bytes ? Text::decodeUtf8Strict(*bytes) : std::nullopt;
    if (text && !text->isEmpty())
        m_parts.vault.writeMeeting(*target, *text, m_parts.clock.wallNow());
}

void MinutesCapture::rewriteTextFile()
{
    const std::optional<QUrl>& recording = m_parts.state.currentRecordingURL();
    if (!recording)
        return;
    const QString text = MinutesText::whole(m_startedAt, recording->fileName(), m_parts.minutes.entries());
    QString error;
    reportWrite(FileIO::writeAtomically(textFilePath(recording->toLocalFile()), text.toUtf8(), &error), error);
}

void MinutesCapture::reportWrite(bool written, const QString& error)
{
    // The recording goes on; the user learns from the log why the text file lags behind.
    if (!written)
        m_parts.log.record(QStringLiteral("error"), QStringLiteral("minutes text not written: ") + error);
}
