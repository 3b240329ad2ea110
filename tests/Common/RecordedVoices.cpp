#include "Common/RecordedVoices.h"

#include "Audio/BufferConverter.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <sndfile.h>

namespace {

constexpr double kShortest = 2, kLongest = 6;  // seconds
constexpr qint64 kG722BytesPerSecond = 8000;  // 64 kbit/s, two samples a byte

QDir folder(const QString& person)
{
    return QDir(QStringLiteral("/usr/share/asterisk/sounds/") + person);
}

// The WAV files of the folder that are mono at `rate` and last `shortest` to `longest` seconds,
// in file-name order, at most `count`.
std::vector<std::vector<float>> monoFiles(const QDir& dir, int rate, double shortest, double longest, int count)
{
    std::vector<std::vector<float>> found;
    for (const QString& name : dir.entryList({QStringLiteral("*.wav")}, QDir::Files, QDir::Name)) {
        SF_INFO info{};
        SNDFILE* file = sf_open(QFile::encodeName(dir.filePath(name)).constData(), SFM_READ, &info);
        if (!file)
            continue;
        const double seconds = double(info.frames) / info.samplerate;
        if (info.channels == 1 && info.samplerate == rate && seconds >= shortest && seconds <= longest) {
            std::vector<float> samples(static_cast<std::size_t>(info.frames));
            sf_readf_float(file, samples.data(), info.frames);
            found.push_back(std::move(samples));
        }
        sf_close(file);
        if (int(found.size()) == count)
            break;
    }
    return found;
}

// The prompts are headerless G.722, whose length tells their duration. They are decoded as one
// stream by a single ffmpeg run, as starting one per prompt would take most of the test's time;
// the decoder's adaptation carries over each joint for a few milliseconds only.
std::vector<std::vector<float>> widebandUtterances(const QString& person, int count)
{
    const QDir dir = folder(person);
    QByteArray stream;
    std::vector<qsizetype> lengths;
    for (const QString& name : dir.entryList({QStringLiteral("*.g722")}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        const double seconds = double(file.size()) / kG722BytesPerSecond;
        if (seconds < kShortest || seconds > kLongest || !file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = file.readAll();
        stream += bytes;
        lengths.push_back(2 * bytes.size());
        if (int(lengths.size()) == count)
            break;
    }
    if (lengths.empty())
        return {};
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), {QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-f"),
                                            QStringLiteral("g722"), QStringLiteral("-i"), QStringLiteral("pipe:0"),
                                            QStringLiteral("-f"), QStringLiteral("f32le"), QStringLiteral("pipe:1")});
    if (!ffmpeg.waitForStarted())
        return {};
    ffmpeg.write(stream);
    ffmpeg.closeWriteChannel();
    ffmpeg.waitForFinished(-1);
    const QByteArray decoded = ffmpeg.readAllStandardOutput();
    const auto* samples = reinterpret_cast<const float*>(decoded.constData());
    const auto total = decoded.size() / qsizetype(sizeof(float));
    std::vector<std::vector<float>> found;
    qsizetype start = 0;
    for (const qsizetype length : lengths) {
        if (start + length > total)
            break;
        found.emplace_back(samples + start, samples + start + length);
        start += length;
    }
    return found;
}

}  // namespace

const QStringList& RecordedVoices::people()
{
    static const QStringList people{QStringLiteral("en_US_f_Allison"), QStringLiteral("fr_CA_f_June"),
                                    QStringLiteral("it_IT_m_Carlo")};
    return people;
}

std::vector<std::vector<float>> RecordedVoices::utterances(const QString& person, Line line, int count)
{
    return line == Line::telephone ? monoFiles(folder(person), kTelephoneRate, kShortest, kLongest, count)
                                   : widebandUtterances(person, count);
}

std::vector<std::vector<float>> RecordedVoices::readerUtterances()
{
    return monoFiles(QDir(QStringLiteral("/usr/share/pocketsphinx/test/data/librivox")), kReaderRate, 0, 60, -1);
}

std::vector<float> RecordedVoices::resampled(const std::vector<float>& samples, int fromRate, int toRate)
{
    BufferConverter converter;
    const auto recorded = std::make_shared<const AudioBuffer>(AudioFormat{double(fromRate), 1}, samples, 0,
                                                              std::chrono::steady_clock::time_point());
    const AudioBufferPtr converted = converter.convertBuffer(recorded, {double(toRate), 1});
    return converted ? converted->planarSamples() : std::vector<float>();
}
