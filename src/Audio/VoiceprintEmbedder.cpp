#include "Audio/VoiceprintEmbedder.h"

#include "Audio/SpectralEmbedder.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int kFftSize = 1024;  // room for the autocorrelation up to the longest pitch lag
constexpr int kBins = kFftSize / 2 + 1;
constexpr double kLowestFrequency = 200;
constexpr double kHighestFrequency = 3800;
constexpr int kShortestLag = int(VoiceprintEmbedder::kRate / 400);  // highest pitch 400 Hz
constexpr int kLongestLag = int(VoiceprintEmbedder::kRate / 70);  // lowest pitch 70 Hz
constexpr float kSpeechRange = 6.9f;  // frames within 30 dB of the loudest are speech
constexpr float kVoicedCorrelation = 0.6f;
constexpr std::size_t kLeastVoicedFrames = 30;

// Each feature's scale: how much it varies between utterances of one person, measured on
// recorded telephone prompts of five people (cepstral means, cepstral spreads, median log pitch
// and its spread), so every feature counts alike. Wideband recordings of the same people vary
// alike.
constexpr std::array<float, VoiceprintEmbedder::kLength> kScales{
    0.91f, 1.0f,  0.70f, 0.54f, 0.46f, 0.44f, 0.42f, 0.40f, 0.32f, 0.29f, 0.35f, 0.29f,  0.56f,
    0.57f, 0.41f, 0.30f, 0.22f, 0.21f, 0.18f, 0.19f, 0.17f, 0.16f, 0.19f, 0.22f, 0.075f, 0.071f};
// The mean scaled features of those five people: an average voice, so a print points at what
// sets a voice apart from it.
constexpr std::array<float, VoiceprintEmbedder::kLength> kAverageVoice{
    8.59f, 3.08f, 2.29f, 0.27f, 1.52f, -0.53f, 0.66f, -1.48f, 0.77f, 0.14f, 0.24f, 0.12f,  7.31f,
    6.84f, 7.07f, 7.62f, 8.27f, 7.92f, 8.08f,  7.47f, 7.69f,  7.72f, 6.55f, 5.73f, 70.35f, 4.19f};

// How far a scaled feature may stand from the average voice: beyond about that, it grows ever
// more slowly. Otherwise a voice far from the average in one feature (a deep voice's pitch, on
// a wideband microphone) drowns out the rest, and all such voices look alike.
constexpr float kFarthest = 2.5f;

float quantile(std::vector<float> values, double fraction)
{
    const auto at = values.begin() + std::ptrdiff_t(fraction * double(values.size() - 1));
    std::nth_element(values.begin(), at, values.end());
    return *at;
}

double mel(double frequency)
{
    return 2595 * std::log10(1 + frequency / 700);
}

double frequencyOfMel(double value)
{
    return 700 * (std::pow(10, value / 2595) - 1);
}

}  // namespace

VoiceprintEmbedder::VoiceprintEmbedder() : m_fft(kFftSize), m_window(kFrameLength)
{
    for (int n = 0; n < kFrameLength; ++n)
        m_window[std::size_t(n)] = float(0.5 - 0.5 * std::cos(2 * std::numbers::pi * (n + 0.5) / kFrameLength));

    // The window's autocorrelation, to undo its taper at each lag.
    float* samples = m_fft.samples();
    std::fill_n(samples, kFftSize, 0.0f);
    std::copy(m_window.begin(), m_window.end(), samples);
    m_fft.forward();
    for (int k = 0; k < kBins; ++k)
        m_fft.spectrum()[k] = std::norm(m_fft.spectrum()[k]);
    m_fft.inverse();
    m_windowCorrelation.assign(samples, samples + kLongestLag + 2);
    for (float& value : m_windowCorrelation)
        value /= samples[0];

    const double lowest = mel(kLowestFrequency), step = (mel(kHighestFrequency) - lowest) / (kMelBands + 1);
    for (int band = 0; band < kMelBands; ++band) {
        const double left = frequencyOfMel(lowest + band * step), centre = frequencyOfMel(lowest + (band + 1) * step),
                     right = frequencyOfMel(lowest + (band + 2) * step);
        MelBand melBand{int(std::floor(left * kFftSize / kRate)) + 1, {}};
        for (int k = melBand.firstBin; k * kRate / kFftSize < right; ++k) {
            const double frequency = k * kRate / kFftSize;
            melBand.weights.push_back(float(frequency <= centre ? (frequency - left) / (centre - left)
                                                                : (right - frequency) / (right - centre)));
        }
        m_melBands.push_back(std::move(melBand));
    }
    // The orthonormal DCT-II rows of the cepstral coefficients 1 to kCepstra.
    for (std::size_t c = 0; c < kCepstra; ++c)
        for (std::size_t band = 0; band < kMelBands; ++band)
            m_cosines[c][band] = float(std::sqrt(2.0 / kMelBands) *
                                       std::cos(std::numbers::pi * double(c + 1) * (double(band) + 0.5) / kMelBands));
}

void VoiceprintEmbedder::accumulate(const AudioBufferPtr& buffer)
{
    if (buffer->frameCount() == 0 || buffer->format().channels < 1)
        return;
    const AudioBufferPtr mono = m_converter.convertBuffer(buffer, {kRate, 1});
    if (!mono)
        return;
    const float* samples = mono->channelData(0);
    m_carry.insert(m_carry.end(), samples, samples + mono->frameCount());
    std::size_t offset = 0;
    for (; offset + kFrameLength <= m_carry.size(); offset += kHop)
        processFrame(m_carry.data() + offset);
    m_carry.erase(m_carry.begin(), m_carry.begin() + std::ptrdiff_t(offset));
}

void VoiceprintEmbedder::processFrame(const float* frame)
{
    float* samples = m_fft.samples();
    for (int n = 0; n < kFrameLength; ++n)
        samples[n] = frame[n] * m_window[std::size_t(n)];
    std::fill(samples + kFrameLength, samples + kFftSize, 0.0f);
    m_fft.forward();

    std::array<float, kBins> power{};
    float energy = 0;
    for (int k = 0; k < kBins; ++k) {
        power[std::size_t(k)] = std::norm(m_fft.spectrum()[k]);
        energy += power[std::size_t(k)];
    }
    Frame result{};
    result.logEnergy = std::log(energy + 1e-20f);

    std::array<float, kMelBands> logMel{};
    for (std::size_t band = 0; band < kMelBands; ++band) {
        const MelBand& melBand = m_melBands[band];
        float sum = 0;
        for (std::size_t k = 0; k < melBand.weights.size(); ++k)
            sum += melBand.weights[k] * power[std::size_t(melBand.firstBin) + k];
        logMel[band] = sum;
    }
    // A floor 60 dB under the mean band keeps empty bands (a narrow-band line) from swamping the rest.
    float floor = 1e-20f;
    for (const float value : logMel)
        floor += value * (1e-6f / kMelBands);
    for (float& value : logMel)
        value = std::log(value + floor);
    for (std::size_t c = 0; c < kCepstra; ++c) {
        float sum = 0;
        for (std::size_t band = 0; band < kMelBands; ++band)
            sum += logMel[band] * m_cosines[c][band];
        result.cepstra[c] = sum;
    }

    // The autocorrelation is the inverse transform of the power spectrum.
    for (int k = 0; k < kBins; ++k)
        m_fft.spectrum()[k] = power[std::size_t(k)];
    m_fft.inverse();
    if (samples[0] > 0) {
        std::array<float, kLongestLag + 2> correlation{};
        for (int lag = kShortestLag - 1; lag <= kLongestLag + 1; ++lag)
            correlation[std::size_t(lag)] = samples[lag] / samples[0] / m_windowCorrelation[std::size_t(lag)];
        float best = 0;
        for (int lag = kShortestLag; lag <= kLongestLag; ++lag)
            best = std::max(best, correlation[std::size_t(lag)]);
        // The shortest lag that nearly reaches the best, so a period's multiples do not win.
        for (int lag = kShortestLag; lag <= kLongestLag; ++lag) {
            const float before = correlation[std::size_t(lag - 1)], here = correlation[std::size_t(lag)],
                        after = correlation[std::size_t(lag + 1)];
            if (here >= 0.9f * best && here >= before && here >= after) {
                const float curvature = before - 2 * here + after;
                const float shift = curvature < 0 ? 0.5f * (before - after) / curvature : 0.0f;
                result.voicing = here;
                result.logPitch = std::log(float(kRate) / (float(lag) + shift));
                break;
            }
        }
    }
    m_frames.push_back(result);
}

std::optional<QList<float>> VoiceprintEmbedder::finalize() const
{
    if (m_frames.empty())
        return std::nullopt;
    float loudest = m_frames.front().logEnergy;
    for (const Frame& frame : m_frames)
        loudest = std::max(loudest, frame.logEnergy);
    std::vector<const Frame*> voiced;
    for (const Frame& frame : m_frames)
        if (frame.logEnergy >= loudest - kSpeechRange && frame.voicing >= kVoicedCorrelation)
            voiced.push_back(&frame);
    if (voiced.size() < kLeastVoicedFrames)
        return std::nullopt;

    QList<float> print(kLength, 0.0f);
    const auto count = float(voiced.size());
    for (int c = 0; c < kCepstra; ++c) {
        float sum = 0, squares = 0;
        for (const Frame* frame : voiced) {
            sum += frame->cepstra[std::size_t(c)];
            squares += frame->cepstra[std::size_t(c)] * frame->cepstra[std::size_t(c)];
        }
        const float mean = sum / count;
        print[c] = mean;
        print[kCepstra + c] = std::sqrt(std::max(0.0f, squares / count - mean * mean));
    }
    std::vector<float> pitches;
    for (const Frame* frame : voiced)
        pitches.push_back(frame->logPitch);
    print[2 * kCepstra] = quantile(pitches, 0.5);
    print[2 * kCepstra + 1] = quantile(pitches, 0.75) - quantile(pitches, 0.25);
    for (int i = 0; i < kLength; ++i)
        print[i] =
            kFarthest * std::tanh((print[i] / kScales[std::size_t(i)] - kAverageVoice[std::size_t(i)]) / kFarthest);
    SpectralEmbedder::normalize(print);
    return print;
}

void VoiceprintEmbedder::reset()
{
    m_carry.clear();
    m_frames.clear();
}
