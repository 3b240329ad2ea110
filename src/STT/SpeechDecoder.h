#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

// The files of one language's recognition model.
struct SpeechModel {
    QString localeID;  // "en-US"
    QString acousticModel;  // directory
    QString languageModel;
    QString dictionary;
};

// A speech decoder working one utterance at a time on 16-bit mono audio at sampleRate().
// It is used from one thread only. Every operation that can fail gives a readable reason.
class SpeechDecoder {
public:
    virtual ~SpeechDecoder() = default;

    virtual int sampleRate() const = 0;
    virtual bool load(const SpeechModel& model, QString* error) = 0;
    virtual void unload() = 0;
    virtual bool startUtterance(QString* error) = 0;
    virtual bool process(const std::int16_t* samples, std::size_t count, QString* error) = 0;
    // Whether the decoder's own voice detector hears speech in the current utterance.
    virtual bool inSpeech() const = 0;
    // The best text of the current utterance so far.
    virtual QString hypothesis() = 0;
    // Ends the utterance and gives its final text.
    virtual QString endUtterance() = 0;
};
