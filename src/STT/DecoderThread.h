#pragma once

#include "Audio/AudioBuffer.h"
#include "Audio/BufferConverter.h"
#include "Platform/SpeechDecoder.h"

#include <QString>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class QObject;

// The decoding half of a streaming recognizer: one thread that owns the speech decoder. It
// converts fed buffers to the decoder's mono 16-bit format, cuts the audio into utterances
// where the decoder's own voice detector hears speech end, and reports texts back on the
// owner's thread, each tagged with the generation of its utterance. Every utterance gets its
// generation from the owner: after a final result, decoding waits (audio keeps queueing)
// until the owner names the next one, so a result is never tagged with a number that the
// owner has already given to a later utterance. Audio waits in a bounded backlog that drops
// its oldest buffers when decoding falls behind; commands are never dropped and run in the
// order they were given.
class DecoderThread {
public:
    struct Event {
        enum class Kind {
            loaded,  // text: empty, or why the model could not be loaded
            partial,  // text: the utterance so far
            final,  // text: the finished utterance, empty when nothing was recognized
            failed,  // text: why decoding stopped; nothing more until a restart
            audioDropped,  // text: why a buffer could not be decoded
        };
        Kind kind;
        std::uint64_t generation;
        QString text;
    };
    static constexpr std::chrono::seconds backlog{20};

    // Events go to `onEvent` through queued calls on `context`'s thread; none arrive after
    // `context` is destroyed.
    DecoderThread(std::unique_ptr<SpeechDecoder> decoder, QObject* context, std::function<void(const Event&)> onEvent);
    // Drops waiting audio, lets the decoder finish the buffer in hand and joins.
    ~DecoderThread();
    DecoderThread(const DecoderThread&) = delete;
    DecoderThread& operator=(const DecoderThread&) = delete;

    void load(const SpeechModel& model, std::uint64_t generation);
    // Queues a buffer; returns how many older buffers the backlog dropped to make room.
    int feed(AudioBufferPtr buffer, std::uint64_t generation);
    // Discards the utterance in progress and waiting audio of older generations; decoding
    // goes on (or resumes after a failure) with a fresh utterance.
    void restart(std::uint64_t generation);
    // Begins the utterance that follows a final result; the audio waiting goes into it.
    void next(std::uint64_t generation);
    // Discards waiting audio and releases the model.
    void unload();

    // The mono format the decoder works in.
    AudioFormat decoderFormat() const { return m_decoderFormat; }

private:
    struct Command {
        enum class Kind { load, audio, restart, next, unload };
        Kind kind;
        std::uint64_t generation = 0;
        AudioBufferPtr audio;
        SpeechModel model;
    };

    // Both with the lock held.
    void discardAudio(const std::function<bool(const Command&)>& which);
    std::deque<Command>::iterator nextRunnable();

    void push(Command command);
    void run();
    void handle(const Command& command);
    void decode(const AudioBufferPtr& buffer);
    bool beginUtterance(std::uint64_t generation);
    void post(Event::Kind kind, const QString& text = {});
    static std::chrono::microseconds durationOf(const Command& command);

    // Decoder thread only.
    std::unique_ptr<SpeechDecoder> m_decoder;
    const AudioFormat m_decoderFormat;
    BufferConverter m_converter;
    bool m_loaded = false;
    bool m_failed = false;
    std::uint64_t m_generation = 0;  // of the utterance in progress
    bool m_awaitingNext = false;  // a final result was given; its successor is not named yet
    bool m_wasInSpeech = false;
    QString m_lastPartial;

    QObject* const m_context;  // outlives this object: the owner that holds it
    std::function<void(const Event&)> m_onEvent;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Command> m_commands;
    // Whole microseconds, so adding and removing buffers never drifts from the bound.
    std::chrono::microseconds m_queued{0};
    bool m_stopping = false;
    std::thread m_thread;
};
