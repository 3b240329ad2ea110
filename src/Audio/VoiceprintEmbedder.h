#pragma once

#include "Audio/AudioBuffer.h"
#include "Audio/BufferConverter.h"
#include "Audio/RealFft.h"

#include <QList>

#include <array>
#include <optional>
#include <vector>

// Turns one utterance into a voiceprint that tells people apart where the 24-band vector
// cannot: the voice's pitch (median and spread of the log fundamental) and the shape of its
// spectrum (means and spreads of mel-cepstral coefficients over 200-3800 Hz, the band every
// microphone and line carries, and spreads of their slopes), over the voiced frames of the
// utterance only, so neither loudness nor pauses count. The audio is mixed to mono and
// resampled to 16 kHz first, so microphones of different rates give comparable prints. Large
// deviations of a feature are softly limited, and the features are whitened: in a print's
// coordinates one person's utterances scatter alike in every direction, by about 1 on each.
// Prints are compared by their distance, which a line or room that shifts every voice alike
// leaves as it was. The length tells the layout: a print of another length is of an older one.
// Not thread-safe: one thread at a time (the speaker classifier's worker).
class VoiceprintEmbedder {
public:
    static constexpr double kRate = 16000;
    static constexpr int kFrameLength = 640;  // 40 ms: two periods of the lowest voice
    static constexpr int kHop = 160;  // 10 ms
    static constexpr int kMelBands = 24;
    static constexpr int kCepstra = 12;
    static constexpr int kLength = 3 * kCepstra + 2;

    VoiceprintEmbedder();

    void accumulate(const AudioBufferPtr& buffer);
    // The utterance's print, or nothing when it holds less than 0.3 s of voiced speech.
    // Changes nothing.
    std::optional<QList<float>> finalize() const;
    // Where the utterance's speech lies in audio time (its frames within 30 dB of the
    // loudest) and how many of its 10 ms frames are voiced; nothing before a whole frame.
    struct Speech {
        double startSeconds;
        double endSeconds;
        int voicedFrames;
    };
    std::optional<Speech> speech() const;
    // Starts a new utterance; samples not yet in a frame are discarded.
    void reset();

private:
    struct Frame {
        float logEnergy;
        float voicing;  // peak of the normalized autocorrelation in the pitch range
        float logPitch;
        std::array<float, kCepstra> cepstra;
    };

    void processFrame(const float* samples);
    // Indices of the frames loud enough to be speech and, of those, the voiced ones.
    std::vector<std::size_t> speechFrames() const;
    std::vector<std::size_t> voicedFrames() const;

    BufferConverter m_converter;
    RealFft m_fft;
    std::vector<float> m_window;
    std::vector<float> m_windowCorrelation;  // the window's own autocorrelation, normalized
    struct MelBand {
        int firstBin;
        std::vector<float> weights;  // of the bins from the first on
    };
    std::vector<MelBand> m_melBands;
    std::array<std::array<float, kMelBands>, kCepstra> m_cosines{};
    std::vector<float> m_carry;
    double m_startSeconds = 0;  // audio time of the utterance's first sample
    std::vector<Frame> m_frames;
};
