#pragma once

#include "Audio/AudioBuffer.h"
#include "Audio/RealFft.h"

#include <QList>

#include <array>
#include <optional>
#include <vector>

// Turns one utterance into a voice signature: the mean log magnitude spectrum of its first
// channel in 24 bands, scaled to unit length. Frames of 1024 samples start every 256 samples
// of the utterance, across buffer boundaries. The numbers are also stored in speaker profiles,
// so the computation must never drift: a frame's magnitudes are those of a 1024-point real
// transform doubled, with the 0 Hz and half-rate terms sharing the first bin, after a Hann
// window scaled by 0.8165.
// Not thread-safe: one thread at a time (the speaker classifier's worker).
class SpectralEmbedder {
public:
    static constexpr int kFrameLength = 1024;
    static constexpr int kHop = 256;
    static constexpr int kBins = kFrameLength / 2;
    static constexpr int kBands = 24;

    SpectralEmbedder();
    SpectralEmbedder(const SpectralEmbedder&) = delete;
    SpectralEmbedder& operator=(const SpectralEmbedder&) = delete;

    // Adds the buffer's first channel to the utterance; empty buffers are ignored.
    void accumulate(const AudioBuffer& buffer);
    // The utterance's unit-length vector (24 zeros for digital silence), or nothing before the
    // first whole frame. Changes nothing.
    std::optional<QList<float>> finalize() const;
    // Starts a new utterance; samples not yet in a frame are discarded.
    void reset();

    // Scales the vector to unit length; the zero vector stays as it is.
    static void normalize(QList<float>& vector);

    int frameCount() const { return m_frameCount; }
    // Samples waiting for the rest of their frame.
    std::size_t pendingSamples() const { return m_carry.size(); }

private:
    void processFrame(const float* frame);

    RealFft m_fft;
    std::array<float, kFrameLength> m_window{};
    std::vector<float> m_carry;
    std::array<float, kBands> m_sumBuckets{};
    int m_frameCount = 0;
};
