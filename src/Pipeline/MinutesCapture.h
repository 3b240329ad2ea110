#pragma once

#include "Pipeline/MinutesSession.h"

#include <QDateTime>
#include <QPointer>
#include <QUuid>

#include <memory>
#include <vector>

class AppSettings;
class AudioRecorder;
class EngineState;
class MinutesStore;
class ObsidianSync;
class PipelineLog;
class Scheduler;
class SpeakerClassifier;

// Minutes capture: while a session runs in minutes mode every captured buffer goes to a new
// recording ("recordings/meeting-<yyyyMMdd-HHmmss>.caf") and to the speaker classifier; each
// finished utterance becomes a labelled line of the store and of a text file of the same name
// in "minutes/", one line for as long as one voice speaks. When the capture stops, the text goes to the notes vault as
// a meeting note (when that is on and this capture recorded), and the recording is closed after its last buffer; the
// meeting's speakers can still be named and enrolled until the next capture starts, since their chips stay on screen.
// GUI thread only; the classifier and the recorder do their work on their own workers.
class MinutesCapture final : public MinutesSession {
public:
    static inline const QString kRecordingPrefix = QStringLiteral("meeting");

    struct Parts {
        const AppSettings& settings;
        const Scheduler& clock;
        EngineState& state;
        MinutesStore& minutes;
        PipelineLog& log;
        ObsidianSync& vault;
    };

    explicit MinutesCapture(Parts parts);
    ~MinutesCapture() override;
    MinutesCapture(const MinutesCapture&) = delete;
    MinutesCapture& operator=(const MinutesCapture&) = delete;

    // The minutes text file of a recording: its name with ".txt", in the minutes folder.
    static QString textFilePath(const QString& recordingPath);

    void start(const AudioFormat& inputFormat) override;
    void stop() override;
    // Whether a capture runs (it may run without a recording, when that could not be made).
    bool isRecording() const override;
    void append(const AudioBufferPtr& buffer) override;
    void takeTurn(const QString& text) override;
    void amendTurn(const QString& text) override;
    void applyModeChange(const std::optional<AudioFormat>& inputFormat) override;
    void renameSpeaker(int speakerID, const QString& name) override;
    bool enrollSpeaker(int speakerID, const QString& name) override;

private:
    void publishSpeakers();
    void exportToVault();
    // Writes the whole file: the header with the capture's start, then every line.
    void rewriteTextFile();
    std::optional<QString> textFile() const;
    void reportWrite(bool written, const QString& error);

    Parts m_parts;
    bool m_running = false;
    // The last capture's, kept after it stops; none when FFTW cannot be loaded.
    std::unique_ptr<SpeakerClassifier> m_classifier;
    bool m_toldNoLabels = false;  // the banner says it once a run
    std::unique_ptr<AudioRecorder> m_recorder;
    // Recorders finishing their last writes; each is deleted once closed.
    std::vector<QPointer<AudioRecorder>> m_closing;
    QDateTime m_startedAt;  // of the last capture, kept for rewrites after a rename
    // Where the last utterance's words stand in its line, for its late final text.
    struct LastUtterance {
        QUuid entryID;
        qsizetype start;
        QString text;
    };
    std::optional<LastUtterance> m_lastUtterance;
};
