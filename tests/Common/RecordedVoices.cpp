#include "Common/RecordedVoices.h"

#include "Audio/BufferConverter.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <sndfile.h>

#include <algorithm>
#include <optional>

namespace {

constexpr double kShortestWord = 0.3, kLongestWord = 1.2;  // seconds
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

// Where each person's prompts lie (their single words in its "digits" folder), and how they
// were recorded.
struct Recording {
    QString folder;
    bool telephoneWav;  // 8 kHz PCM, beside the coded prompts if any
    const Codec* codec;  // none: PCM only
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
    if (person == QLatin1String("it_IT_f_Menardi"))
        return Recording{kPrompts + person, true, nullptr};
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
std::vector<std::vector<float>> codedPrompts(const QDir& dir, const Codec& codec, int count, double shortest,
                                             double longest)
{
    QByteArray stream;
    std::vector<qsizetype> lengths;
    for (const QString& name : dir.entryList({QStringLiteral("*.") + codec.extension}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        const qsizetype blocks = file.size() / codec.bytes;
        const double seconds = double(blocks * codec.samples) / codec.rate;
        if (seconds < shortest || seconds > longest || !file.open(QIODevice::ReadOnly))
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

// The recordings in `folder` of a person recorded so, over the line, `shortest` to `longest`
// seconds each.
std::vector<std::vector<float>> recorded(const Recording& recording, const QString& folder,
                                         RecordedVoices::Line line, int count, double shortest, double longest);

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
                                    QStringLiteral("ru_RU_f_IvrvoiceRU"), kReader,
                                    QStringLiteral("it_IT_f_Menardi")};
    return people;
}

namespace {

std::vector<std::vector<float>> recorded(const Recording& recording, const QString& folder,
                                         RecordedVoices::Line line, int count, double shortest, double longest)
{
    using RecordedVoices::Line;
    const QDir dir(folder);
    if (line == Line::telephone && recording.telephoneWav)
        return monoFiles(dir, RecordedVoices::kTelephoneRate, shortest, longest, count);
    if (!recording.codec)
        return {};
    if (recording.codec->rate == RecordedVoices::rate(line))
        return codedPrompts(dir, *recording.codec, count, shortest, longest);
    return line == Line::telephone ? overTelephone(codedPrompts(dir, *recording.codec, count, shortest, longest))
                                   : std::vector<std::vector<float>>();
}

}  // namespace

std::vector<std::vector<float>> RecordedVoices::utterances(const QString& person, Line line, int count,
                                                           double shortest, double longest)
{
    if (person == kReader) {
        std::vector<std::vector<float>> read = readerUtterances();
        if (count >= 0 && int(read.size()) > count)
            read.resize(std::size_t(count));
        return line == Line::telephone ? overTelephone(std::move(read)) : read;
    }
    const std::optional<Recording> found = recording(person);
    return found ? recorded(*found, found->folder, line, count, shortest, longest) : std::vector<std::vector<float>>();
}

std::vector<std::vector<float>> RecordedVoices::words(const QString& person, Line line, int count)
{
    const std::optional<Recording> found = recording(person);
    return found ? recorded(*found, found->folder + QStringLiteral("/digits"), line, count, kShortestWord, kLongestWord)
                 : std::vector<std::vector<float>>();
}

std::vector<std::vector<float>> RecordedVoices::readerPhrases(Line line)
{
    // Pauses of 100 ms, 20 dB under the loudest 10 ms of a sentence, part its phrases.
    constexpr int kStep = kReaderRate / 100;
    constexpr int kPauseSteps = 10, kShortestSteps = 100;
    std::vector<std::vector<float>> phrases;
    for (const std::vector<float>& sentence : readerUtterances()) {
        std::vector<double> energy;
        for (std::size_t at = 0; at + kStep <= sentence.size(); at += kStep) {
            double squares = 0;
            for (std::size_t i = at; i < at + kStep; ++i)
                squares += double(sentence[i]) * sentence[i];
            energy.push_back(squares);
        }
        const double loudest = *std::max_element(energy.begin(), energy.end());
        std::size_t start = 0, quiet = 0;
        for (std::size_t step = 0; step <= energy.size(); ++step) {
            const bool end = step == energy.size();
            quiet = !end && energy[step] < loudest / 100 ? quiet + 1 : 0;
            if ((quiet == kPauseSteps || end) && step - start >= kShortestSteps) {
                const std::size_t cut = end ? sentence.size() : (step - kPauseSteps / 2) * kStep;
                phrases.emplace_back(sentence.begin() + std::ptrdiff_t(start * kStep),
                                     sentence.begin() + std::ptrdiff_t(cut));
                start = cut / kStep;
            }
        }
    }
    return line == Line::telephone ? overTelephone(std::move(phrases)) : phrases;
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
