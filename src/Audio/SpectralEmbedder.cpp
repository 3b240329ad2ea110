#include "Audio/SpectralEmbedder.h"

#include <cmath>
#include <numbers>

SpectralEmbedder::SpectralEmbedder() : m_fft(kFrameLength)
{
    for (int n = 0; n < kFrameLength; ++n)
        m_window[std::size_t(n)] =
            float(0.8165 * 0.5 * (1.0 - std::cos(2.0 * std::numbers::pi * double(n) / double(kFrameLength))));
}

void SpectralEmbedder::accumulate(const AudioBuffer& buffer)
{
    if (buffer.frameCount() == 0 || buffer.format().channels < 1)
        return;
    const float* samples = buffer.channelData(0);
    m_carry.insert(m_carry.end(), samples, samples + buffer.frameCount());
    std::size_t offset = 0;
    for (; offset + kFrameLength <= m_carry.size(); offset += kHop)
        processFrame(m_carry.data() + offset);
    m_carry.erase(m_carry.begin(), m_carry.begin() + std::ptrdiff_t(offset));
}

void SpectralEmbedder::processFrame(const float* frame)
{
    float* input = m_fft.samples();
    for (int n = 0; n < kFrameLength; ++n)
        input[n] = frame[n] * m_window[std::size_t(n)];
    m_fft.forward();

    // The packed layout of a real transform doubles every coefficient and keeps the half-rate
    // term in the imaginary part of the first bin.
    const std::complex<float>* x = m_fft.spectrum();
    std::array<float, kBins> logMagnitude{};
    const auto magnitude = [](float re, float im) { return std::sqrt(re * re + im * im); };
    logMagnitude[0] = std::log(1.0f + 2.0f * magnitude(x[0].real(), x[kBins].real()));
    for (int k = 1; k < kBins; ++k)
        logMagnitude[std::size_t(k)] = std::log(1.0f + 2.0f * magnitude(x[k].real(), x[k].imag()));

    constexpr int width = kBins / kBands;
    for (int b = 0; b < kBands; ++b) {
        const int first = b * width;
        const int end = b == kBands - 1 ? kBins : first + width;
        float sum = 0;
        for (int k = first; k < end; ++k)
            sum += logMagnitude[std::size_t(k)];
        m_sumBuckets[std::size_t(b)] += sum / float(end - first);
    }
    ++m_frameCount;
}

std::optional<QList<float>> SpectralEmbedder::finalize() const
{
    if (m_frameCount < 1)
        return std::nullopt;
    const float reciprocal = 1.0f / float(m_frameCount);
    QList<float> embedding(kBands);
    for (int b = 0; b < kBands; ++b)
        embedding[b] = m_sumBuckets[std::size_t(b)] * reciprocal;
    normalize(embedding);
    return embedding;
}

void SpectralEmbedder::normalize(QList<float>& vector)
{
    float squares = 0;
    for (const float value : vector)
        squares += value * value;
    if (squares > 0) {
        const float length = std::sqrt(squares);
        for (float& value : vector)
            value /= length;
    }
}

void SpectralEmbedder::reset()
{
    m_carry.clear();
    m_sumBuckets.fill(0);
    m_frameCount = 0;
}
