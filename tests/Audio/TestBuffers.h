#pragma once

#include "Audio/AudioBuffer.h"

#include <QString>

#include <sndfile.h>

#include <functional>

// A buffer whose samples come from `sample(channel, frame)`.
inline AudioBufferPtr makeBuffer(AudioFormat format, std::int64_t frames,
                                 const std::function<float(int channel, std::int64_t frame)>& sample,
                                 std::int64_t position = 0)
{
    std::vector<float> planar(std::size_t(frames * format.channels));
    for (int channel = 0; channel < format.channels; ++channel)
        for (std::int64_t frame = 0; frame < frames; ++frame)
            planar[std::size_t(channel * frames + frame)] = sample(channel, frame);
    return std::make_shared<const AudioBuffer>(format, std::move(planar), position, std::chrono::steady_clock::now());
}

// The samples of a sound file, interleaved, and its format in `info`; nothing when unreadable.
inline std::vector<float> readSoundFile(const QString& path, SF_INFO& info)
{
    info = {};
    SNDFILE* file = sf_open(path.toUtf8().constData(), SFM_READ, &info);
    std::vector<float> samples(file ? std::size_t(info.frames * info.channels) : 0);
    if (file) {
        sf_readf_float(file, samples.data(), info.frames);
        sf_close(file);
    }
    return samples;
}
