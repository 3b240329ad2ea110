#pragma once

#include "Audio/AudioBuffer.h"
#include "Speech/SpeechVoice.h"
#include "Support/SerialWorker.h"

#include <QList>
#include <QString>

#include <functional>
#include <future>
#include <optional>

// The process's one espeak-ng instance. espeak-ng keeps global state, is not thread-safe and
// cannot be started again once shut down, so it starts on first use, every call into it runs
// on one worker thread, and it shuts down (joining that thread) when the process exits.
// Starting (reading its data and listing the voices) takes a good part of a second on a busy
// machine, so it runs on that thread while the caller goes on; only what needs its result
// (the voices, the sample rate, a start error) waits for it. Rendering needs no audio device.
class EspeakEngine {
public:
    // Takes a render's audio piece by piece on the worker thread; returning false stops the
    // render there.
    using AudioSink = std::function<bool(AudioBufferPtr)>;

    static EspeakEngine& shared();
    ~EspeakEngine();
    EspeakEngine(const EspeakEngine&) = delete;
    EspeakEngine& operator=(const EspeakEngine&) = delete;

    // Empty when espeak-ng could not start (its data is missing).
    const QString& startError() const;
    int sampleRate() const;

    // Every language voice in espeak-ng's order, each followed by a female variant ("+f3").
    const QList<SpeechVoice>& voices() const;
    // The voice espeak-ng lists for the locale (any of its languages, best priority first).
    std::optional<SpeechVoice> defaultVoice(const QString& localeID) const;

    // Renders `text` as plain text (never markup or phoneme codes) with the voice, handing its
    // mono float PCM to `onAudio` as espeak-ng produces it, so playing can start before the
    // whole text is rendered: the first piece begins with the leading silence (espeak-ng's own
    // opening pause is cut, so the voice follows it at once), the last one is
    // the trailing silence, and their frame positions run on. Then `done` runs with the reason
    // rendering failed, empty when it completed or `onAudio` stopped it. Both on the worker thread.
    void render(const QString& voiceID, const QString& text, double leadingSilence, double trailingSilence,
                AudioSink onAudio, std::function<void(const QString& error)> done);
    // Blocks until every render asked for so far has called its `done`.
    void waitForRenders();
    // Runs `job` on the espeak-ng thread, where it may call espeak-ng directly, and waits.
    void runExclusive(const std::function<void()>& job);

    // espeak-ng's language tags in the form the rest of the system uses: "en-us" → "en-US",
    // "cmn" → "zh-CN", "yue" → "zh-HK".
    static QString normalizedLanguage(const QString& espeakLanguage);

private:
    struct ListedVoice {
        SpeechVoice voice;
        QList<std::pair<int, QString>> languages;  // (priority, lower-case tag) as espeak-ng lists them
    };

    EspeakEngine();
    void start();
    QString renderNow(const QString& voiceID, const QString& text, double leadingSilence, double trailingSilence,
                      const AudioSink& onAudio);

    SerialWorker m_worker;
    std::promise<void> m_starting;
    std::shared_future<void> m_started = m_starting.get_future().share();  // the fields below are set
    QString m_startError;
    int m_sampleRate = 0;
    QList<SpeechVoice> m_voices;
    QList<ListedVoice> m_listed;
};
