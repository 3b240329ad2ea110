#include "Audio/BufferConverter.h"

#include "Support/LateLibrary.h"

#include <soxr.h>

#include <algorithm>
#include <cmath>

namespace {

// More than ten minutes of audio out of one captured buffer means a broken format.
constexpr std::int64_t kMaximumOutputFrames = 48000LL * 60 * 10;

void fail(std::optional<BufferConverterError>* error, BufferConverterError::Kind kind, const char* detail = nullptr)
{
    if (error)
        *error = BufferConverterError{kind, detail ? QString::fromUtf8(detail) : QString()};
}

// libsoxr's functions, from its library, opened when capture first needs another rate.
struct Soxr {
    decltype(soxr_io_spec)* ioSpec;
    decltype(soxr_quality_spec)* qualitySpec;
    decltype(soxr_runtime_spec)* runtimeSpec;
    decltype(soxr_create)* create;
    decltype(soxr_process)* process;
    decltype(soxr_delete)* destroy;
    QString error;  // empty when every function was found
};

const Soxr& soxrLibrary()
{
    static const Soxr api = [] {
        LateLibrary library(QStringLiteral("soxr"), 0);
        Soxr found{library.function<decltype(soxr_io_spec)>("soxr_io_spec"),
                   library.function<decltype(soxr_quality_spec)>("soxr_quality_spec"),
                   library.function<decltype(soxr_runtime_spec)>("soxr_runtime_spec"),
                   library.function<decltype(soxr_create)>("soxr_create"),
                   library.function<decltype(soxr_process)>("soxr_process"),
                   library.function<decltype(soxr_delete)>("soxr_delete"),
                   library.error()};
        return found;
    }();
    return api;
}

// Output channel c is the mean of the input channels i with i mod outputs == c, or input
// channel c mod inputs when there are more outputs than inputs.
std::vector<float> mixChannels(const AudioBuffer& buffer, int outputs)
{
    const int inputs = buffer.format().channels;
    const std::int64_t frames = buffer.frameCount();
    std::vector<float> mixed(static_cast<std::size_t>(frames * outputs), 0.0f);
    for (int out = 0; out < outputs; ++out) {
        float* destination = mixed.data() + out * frames;
        if (outputs >= inputs) {
            std::copy_n(buffer.channelData(out % inputs), frames, destination);
            continue;
        }
        int sources = 0;
        for (int in = out; in < inputs; in += outputs, ++sources) {
            const float* source = buffer.channelData(in);
            for (std::int64_t frame = 0; frame < frames; ++frame)
                destination[frame] += source[frame];
        }
        const float scale = 1.0f / float(sources);
        for (std::int64_t frame = 0; frame < frames; ++frame)
            destination[frame] *= scale;
    }
    return mixed;
}

}  // namespace

QString BufferConverterError::description() const
{
    QString text;
    switch (kind) {
    case Kind::conversionFailed:
        text = QStringLiteral("Audio conversion failed");
        break;
    case Kind::failedToCreateConverter:
        text = QStringLiteral("No audio converter between these formats");
        break;
    case Kind::failedToCreateConversionBuffer:
        text = QStringLiteral("No room for the converted audio");
        break;
    }
    return detail.isEmpty() ? text : text + QStringLiteral(": ") + detail;
}

BufferConverter::~BufferConverter()
{
    release();
}

void BufferConverter::release()
{
    if (m_resampler)
        soxrLibrary().destroy(m_resampler);
    m_resampler = nullptr;
    m_prepared = false;
}

std::int64_t BufferConverter::outputCapacity(double inputRate, double outputRate, std::int64_t frames)
{
    return static_cast<std::int64_t>(std::ceil(outputRate / inputRate * double(frames)));
}

bool BufferConverter::prepare(const AudioFormat& from, const AudioFormat& to,
                              std::optional<BufferConverterError>* error)
{
    if (m_prepared && m_from == from && m_to == to)
        return true;
    release();
    if (!from.isValid() || !to.isValid()) {
        fail(error, BufferConverterError::Kind::failedToCreateConverter);
        return false;
    }
    if (from.sampleRate != to.sampleRate) {
        const Soxr& resampling = soxrLibrary();
        if (!resampling.error.isEmpty()) {
            release();
            fail(error, BufferConverterError::Kind::failedToCreateConverter, qPrintable(resampling.error));
            return false;
        }
        const soxr_io_spec_t io = resampling.ioSpec(SOXR_FLOAT32_S, SOXR_FLOAT32_S);
        const soxr_quality_spec_t quality = resampling.qualitySpec(SOXR_HQ, 0);
        const soxr_runtime_spec_t runtime = resampling.runtimeSpec(1);
        soxr_error_t failure = nullptr;
        m_resampler =
            resampling.create(from.sampleRate, to.sampleRate, unsigned(to.channels), &failure, &io, &quality, &runtime);
        if (failure || !m_resampler) {
            release();
            fail(error, BufferConverterError::Kind::failedToCreateConverter, failure);
            return false;
        }
    }
    m_from = from;
    m_to = to;
    m_prepared = true;
    return true;
}

AudioBufferPtr BufferConverter::convertBuffer(const AudioBufferPtr& buffer, const AudioFormat& format,
                                              std::optional<BufferConverterError>* error)
{
    if (buffer->format() == format)
        return buffer;
    if (!prepare(buffer->format(), format, error))
        return nullptr;
    const std::int64_t capacity = outputCapacity(m_from.sampleRate, m_to.sampleRate, buffer->frameCount());
    if (capacity < 0 || capacity > kMaximumOutputFrames) {
        fail(error, BufferConverterError::Kind::failedToCreateConversionBuffer);
        return nullptr;
    }
    std::vector<float> mixed = mixChannels(*buffer, format.channels);
    const auto position =
        static_cast<std::int64_t>(std::llround(double(buffer->framePosition()) * m_to.sampleRate / m_from.sampleRate));
    if (!m_resampler)
        return std::make_shared<const AudioBuffer>(format, std::move(mixed), position, buffer->captureTime());

    std::vector<float> output(static_cast<std::size_t>(capacity * format.channels));
    std::vector<const float*> inputs(static_cast<std::size_t>(format.channels));
    std::vector<float*> outputs(static_cast<std::size_t>(format.channels));
    for (int channel = 0; channel < format.channels; ++channel) {
        inputs[std::size_t(channel)] = mixed.data() + channel * buffer->frameCount();
        outputs[std::size_t(channel)] = output.data() + channel * capacity;
    }
    std::size_t consumed = 0;
    std::size_t produced = 0;
    if (const soxr_error_t failure =
            soxrLibrary().process(m_resampler, inputs.data(), std::size_t(buffer->frameCount()), &consumed,
                                  outputs.data(), std::size_t(capacity), &produced)) {
        fail(error, BufferConverterError::Kind::conversionFailed, failure);
        return nullptr;
    }
    // Close the gaps between channels when the resampler gave out less than the capacity.
    const auto frames = static_cast<std::int64_t>(produced);
    for (int channel = 1; channel < format.channels && frames < capacity; ++channel)
        std::copy_n(output.data() + channel * capacity, frames, output.data() + channel * frames);
    output.resize(static_cast<std::size_t>(frames * format.channels));
    return std::make_shared<const AudioBuffer>(format, std::move(output), position, buffer->captureTime());
}

std::vector<std::int16_t> BufferConverter::toInt16(const AudioBuffer& buffer)
{
    const int channels = buffer.format().channels;
    const std::int64_t frames = buffer.frameCount();
    std::vector<std::int16_t> samples(static_cast<std::size_t>(frames * channels));
    for (int channel = 0; channel < channels; ++channel) {
        const float* source = buffer.channelData(channel);
        for (std::int64_t frame = 0; frame < frames; ++frame) {
            const float sample = std::isnan(source[frame]) ? 0.0f : source[frame];
            const float scaled = std::clamp(sample, -1.0f, 1.0f) * 32767.0f;
            samples[std::size_t(frame * channels + channel)] = static_cast<std::int16_t>(std::lrint(scaled));
        }
    }
    return samples;
}
