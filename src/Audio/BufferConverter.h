#pragma once

#include "Audio/AudioBuffer.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

struct soxr;

// Why a buffer could not be converted.
struct BufferConverterError {
    enum class Kind { conversionFailed, failedToCreateConverter, failedToCreateConversionBuffer };
    Kind kind = Kind::conversionFailed;
    QString detail;  // the resampler's own words, when it gave any
    QString description() const;
};

// Converts captured buffers of one stream to another rate or channel count. Channels are
// mixed by mean (all of them into mono; mono copied to every output channel); rates are
// changed by a resampler whose history carries over from one buffer to the next for as long
// as the pair of input and output formats stays the same, so a steady stream builds it once.
// Not for concurrent use: each owner calls it from one thread.
class BufferConverter {
public:
    BufferConverter() = default;
    ~BufferConverter();
    BufferConverter(const BufferConverter&) = delete;
    BufferConverter& operator=(const BufferConverter&) = delete;

    // The audio of `buffer` in `format`: the very same buffer when it is in that format
    // already, otherwise a new one holding what the resampler gave out for it (a little
    // less than the capacity at first, while its filter fills). Nothing, and the reason in
    // `error`, when it fails.
    AudioBufferPtr convertBuffer(const AudioBufferPtr& buffer, const AudioFormat& format,
                                 std::optional<BufferConverterError>* error = nullptr);

    // Room the output of `frames` input frames needs: rounded up, never short.
    static std::int64_t outputCapacity(double inputRate, double outputRate, std::int64_t frames);
    // Interleaved 16-bit samples, clamped to the 16-bit range.
    static std::vector<std::int16_t> toInt16(const AudioBuffer& buffer);

private:
    bool prepare(const AudioFormat& from, const AudioFormat& to, std::optional<BufferConverterError>* error);
    void release();

    AudioFormat m_from;
    AudioFormat m_to;
    bool m_prepared = false;
    soxr* m_resampler = nullptr;  // only while the rates differ
};
