#include "Audio/SpectralEmbedder.h"

#include <fftw3.h>

#include <cmath>
#include <mutex>
#include <new>
#include <numbers>

namespace {

// FFTW's planner is not thread-safe; plans are made and destroyed under this lock, while
// running a plan needs none.
std::mutex& plannerMutex()
{
    static std::mutex mutex;
    return mutex;
}

}  // namespace

struct SpectralEmbedder::Transform {
    float* input = nullptr;
    fftwf_complex* output = nullptr;
    fftwf_plan plan = nullptr;

    Transform()
    {
        std::lock_guard lock(plannerMutex());
        input = fftwf_alloc_real(frameLength);
        output = fftwf_alloc_complex(bins + 1);
        if (input && output)
            plan = fftwf_plan_dft_r2c_1d(frameLength, input, output, FFTW_ESTIMATE);
        if (!plan) {
            release();
            throw std::bad_alloc();
        }
    }
    ~Transform()
    {
        std::lock_guard lock(plannerMutex());
        release();
    }
    void release()
    {
        if (plan)
            fftwf_destroy_plan(plan);
        fftwf_free(output);
        fftwf_free(input);
    }
};

SpectralEmbedder::SpectralEmbedder() : m_transform(std::make_unique<Transform>())
{
    for (int n = 0; n < frameLength; ++n)
        m_window[std::size_t(n)] =
            float(0.8165 * 0.5 * (1.0 - std::cos(2.0 * std::numbers::pi * double(n) / double(frameLength))));
}

SpectralEmbedder::~SpectralEmbedder() = default;

void SpectralEmbedder::accumulate(const AudioBuffer& buffer)
{
    if (buffer.frameCount() == 0 || buffer.format().channels < 1)
        return;
    const float* samples = buffer.channelData(0);
    m_carry.insert(m_carry.end(), samples, samples + buffer.frameCount());
    std::size_t offset = 0;
    for (; offset + frameLength <= m_carry.size(); offset += hop)
        processFrame(m_carry.data() + offset);
    m_carry.erase(m_carry.begin(), m_carry.begin() + std::ptrdiff_t(offset));
}

void SpectralEmbedder::processFrame(const float* frame)
{
    float* input = m_transform->input;
    for (int n = 0; n < frameLength; ++n)
        input[n] = frame[n] * m_window[std::size_t(n)];
    fftwf_execute(m_transform->plan);

    // The packed layout of a real transform doubles every coefficient and keeps the half-rate
    // term in the imaginary part of the first bin.
    const fftwf_complex* x = m_transform->output;
    std::array<float, bins> logMagnitude{};
    logMagnitude[0] = std::log(1.0f + 2.0f * std::sqrt(x[0][0] * x[0][0] + x[bins][0] * x[bins][0]));
    for (int k = 1; k < bins; ++k)
        logMagnitude[std::size_t(k)] = std::log(1.0f + 2.0f * std::sqrt(x[k][0] * x[k][0] + x[k][1] * x[k][1]));

    constexpr int width = bins / bands;
    for (int b = 0; b < bands; ++b) {
        const int first = b * width;
        const int end = b == bands - 1 ? bins : first + width;
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
    QList<float> embedding(bands);
    for (int b = 0; b < bands; ++b)
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
