#include "Common/RecordedVoices.h"

#include "Audio/BufferConverter.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <sndfile.h>

#include <optional>

namespace {

constexpr double kShortest = 2, kLongest = 6;  // seconds
const QString kPrompts = QStringLiteral("/usr/share/asterisk/sounds/");
const QString kReader = QStringLiteral("librivox_m_reader");

// A headerless coded prompt: blocks of `bytes` bytes, each decoding to `samples` samples.
struct Codec {
    QString extension;  // also ffmpeg's name of the format
    int rate;
    qsizetype bytes;
    qsizetype samples;
};
const Codec kG722{QStringLiteral("g722"), RecordedVoices::kWidebandRate, 1, 2};
const Codec kGsm{QStringLiteral("gsm"), RecordedVoices::kTelephoneRate, 33, 160};

// Where each person's prompts lie, and how they were recorded.
struct Recording {
    QString folder;
    bool telephoneWav;  // 8 kHz PCM beside the coded prompts
    const Codec* codec;
};

std::optional<Recording> recording(const QString& person)
{
    if (RecordedVoices::people().contains(person))
        return Recording{kPrompts + person, true, &kG722};
    if (person == QLatin1String("es_CO_f_prompts"))
        return Recording{kPrompts + QStringLiteral("es"), false, &kGsm};
    if (person == QLatin1String("fr_FR_f_Armelle"))
        return Recording{kPrompts + QStringLiteral("fr"), false, &kGsm};
    if (person == QLatin1String("ru_RU_f_IvrvoiceRU"))
        return Recording{kPrompts + person, false, &kG722};
    return std::nullopt;
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

// The prompts are headerless, so their length tells their duration. They are decoded as one
// stream by a single ffmpeg run, as starting one per prompt would take most of the test's time;
// the decoder's adaptation carries over each joint for a few milliseconds only.
std::vector<std::vector<float>> codedPrompts(const QDir& dir, const Codec& codec, int count)
{
    QByteArray stream;
    std::vector<qsizetype> lengths;
    for (const QString& name : dir.entryList({QStringLiteral("*.") + codec.extension}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        const qsizetype blocks = file.size() / codec.bytes;
        const double seconds = double(blocks * codec.samples) / codec.rate;
        if (seconds < kShortest || seconds > kLongest || !file.open(QIODevice::ReadOnly))
            continue;
        stream += file.read(blocks * codec.bytes);
        lengths.push_back(blocks * codec.samples);
        if (int(lengths.size()) == count)
            break;
    }
    if (lengths.empty())
        return {};
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), {QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-f"),
                                            codec.extension, QStringLiteral("-i"), QStringLiteral("pipe:0"),
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

// Wideband utterances heard over a telephone line.
std::vector<std::vector<float>> overTelephone(std::vector<std::vector<float>> utterances)
{
    for (std::vector<float>& samples : utterances)
        samples = RecordedVoices::resampled(samples, RecordedVoices::kWidebandRate, RecordedVoices::kTelephoneRate);
    return utterances;
}

}  // namespace

const QStringList& RecordedVoices::people()
{
    static const QStringList people{QStringLiteral("en_US_f_Allison"), QStringLiteral("fr_CA_f_June"),
                                    QStringLiteral("it_IT_m_Carlo")};
    return people;
}

const QStringList& RecordedVoices::heldOutPeople()
{
    static const QStringList people{QStringLiteral("es_CO_f_prompts"), QStringLiteral("fr_FR_f_Armelle"),
                                    QStringLiteral("ru_RU_f_IvrvoiceRU"), kReader};
    return people;
}

std::vector<std::vector<float>> RecordedVoices::utterances(const QString& person, Line line, int count)
{
    if (person == kReader) {
        std::vector<std::vector<float>> read = readerUtterances();
        if (count >= 0 && int(read.size()) > count)
            read.resize(std::size_t(count));
        return line == Line::telephone ? overTelephone(std::move(read)) : read;
    }
    const std::optional<Recording> recorded = recording(person);
    if (!recorded)
        return {};
    const QDir dir(recorded->folder);
    if (line == Line::telephone && recorded->telephoneWav)
        return monoFiles(dir, kTelephoneRate, kShortest, kLongest, count);
    if (recorded->codec->rate == rate(line))
        return codedPrompts(dir, *recorded->codec, count);
    return line == Line::telephone ? overTelephone(codedPrompts(dir, *recorded->codec, count))
                                   : std::vector<std::vector<float>>();
}

std::vector<std::vector<float>> RecordedVoices::words(const QString& person, int count)
{
    if (!people().contains(person))
        return {};
    return monoFiles(QDir(kPrompts + person + QStringLiteral("/digits")), kTelephoneRate, 0.3, 1.2, count);
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

std::vector<std::vector<float>> RecordedVoices::turnsOfThreePeople()
{
    std::vector<std::vector<float>> turns;
    for (std::vector<float>& sentence : readerUtterances())
        if (sentence.size() <= std::size_t(6 * kReaderRate))  // 3.0, 5.3 and 3.3 s
            turns.push_back(std::move(sentence));
    for (const QString& person : {QStringLiteral("en_US_f_Allison"), QStringLiteral("it_IT_m_Carlo")}) {
        std::vector<std::vector<float>> theirs = utterances(person, Line::wideband, 3);
        if (theirs.size() == 3)
            turns.push_back(std::move(theirs.back()));  // 3.3 s and 3.9 s
    }
    return turns;
}
