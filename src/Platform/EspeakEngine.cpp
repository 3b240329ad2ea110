#include "Platform/EspeakEngine.h"

#include "Support/LateLibrary.h"

#include <QLoggingCategory>
#include <QStringList>

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

Q_LOGGING_CATEGORY(lcEspeak, "app.parlivox.tts.espeak")

namespace {

// One render in progress, as the synthesis callback sees it; only the worker thread touches it.
class PieceWriter {
public:
    PieceWriter(int sampleRate, double leadingSilence, const EspeakEngine::AudioSink& onAudio)
        : m_format{double(sampleRate), 1}, m_leading(frames(leadingSilence)), m_onAudio(onAudio)
    {
    }

    // Hands espeak-ng's samples on; false once stopped. espeak-ng opens every utterance with
    // about 50 ms of its own digital silence, which is cut, so the voice starts after exactly
    // the leading silence asked for.
    bool write(const short* samples, std::size_t count)
    {
        if (!m_sounded) {
            const short* first = std::find_if(samples, samples + count, [](short sample) { return sample != 0; });
            count -= std::size_t(first - samples);
            samples = first;
            if (count == 0)
                return !m_stopped;
            m_sounded = true;
        }
        return hand(samples, count);
    }
    void writeSilence(double seconds)
    {
        const std::vector<short> silence(frames(seconds), 0);
        hand(silence.data(), silence.size());
    }
    bool stopped() const { return m_stopped; }

private:
    // The leading silence goes before the first samples handed on.
    bool hand(const short* samples, std::size_t count)
    {
        if (m_leading + count == 0)
            return !m_stopped;
        std::vector<float> piece(std::exchange(m_leading, 0) + count, 0.0f);
        float* out = piece.data() + piece.size() - count;
        for (std::size_t i = 0; i < count; ++i)
            out[i] = float(samples[i]) / 32768.0f;
        const auto length = std::int64_t(piece.size());
        m_stopped = !m_onAudio(std::make_shared<const AudioBuffer>(m_format, std::move(piece), m_position,
                                                                   std::chrono::steady_clock::now()));
        m_position += length;
        return !m_stopped;
    }
    std::size_t frames(double seconds) const { return std::size_t(std::lround(seconds * m_format.sampleRate)); }

    AudioFormat m_format;
    std::size_t m_leading;
    const EspeakEngine::AudioSink& m_onAudio;
    std::int64_t m_position = 0;
    bool m_sounded = false;  // espeak-ng has made its first sound
    bool m_stopped = false;
};

PieceWriter* s_writer = nullptr;

int collectSamples(short* samples, int count, espeak_EVENT*)
{
    if (!s_writer || !samples || count <= 0)
        return 0;
    return s_writer->write(samples, std::size_t(count)) ? 0 : 1;  // 1 stops espeak-ng
}

VoiceGender genderOf(unsigned char espeakGender)
{
    switch (espeakGender) {
    case 1:
        return VoiceGender::male;
    case 2:
        return VoiceGender::female;
    default:
        return VoiceGender::unspecified;
    }
}

// espeak-ng's functions, from its library, opened when the engine starts on its worker.
struct Espeak {
    decltype(espeak_Initialize)* initialize;
    decltype(espeak_Terminate)* terminate;
    decltype(espeak_SetParameter)* setParameter;
    decltype(espeak_ListVoices)* listVoices;
    decltype(espeak_SetVoiceByName)* setVoiceByName;
    decltype(espeak_SetSynthCallback)* setSynthCallback;
    decltype(espeak_Synth)* synth;
    QString error;  // empty when every function was found
};

const Espeak& espeak()
{
    static const Espeak api = [] {
        LateLibrary library(QStringLiteral("espeak-ng"), 1);
        Espeak found{library.function<decltype(espeak_Initialize)>("espeak_Initialize"),
                     library.function<decltype(espeak_Terminate)>("espeak_Terminate"),
                     library.function<decltype(espeak_SetParameter)>("espeak_SetParameter"),
                     library.function<decltype(espeak_ListVoices)>("espeak_ListVoices"),
                     library.function<decltype(espeak_SetVoiceByName)>("espeak_SetVoiceByName"),
                     library.function<decltype(espeak_SetSynthCallback)>("espeak_SetSynthCallback"),
                     library.function<decltype(espeak_Synth)>("espeak_Synth"),
                     library.error()};
        return found;
    }();
    return api;
}

QString lookupKey(const QString& tag)
{
    return tag.toLower().replace(QLatin1Char('_'), QLatin1Char('-'));
}

}  // namespace

EspeakEngine& EspeakEngine::shared()
{
    static EspeakEngine engine;
    return engine;
}

EspeakEngine::EspeakEngine() : m_worker(QStringLiteral("app.parlivox.tts.espeak"))
{
    m_worker.post([this] {
        start();
        m_starting.set_value();
    });
}

const QString& EspeakEngine::startError() const
{
    m_started.wait();
    return m_startError;
}

int EspeakEngine::sampleRate() const
{
    m_started.wait();
    return m_sampleRate;
}

const QList<SpeechVoice>& EspeakEngine::voices() const
{
    m_started.wait();
    return m_voices;
}

EspeakEngine::~EspeakEngine()
{
    m_worker.runAndWait([this] {
        if (m_startError.isEmpty())
            espeak().terminate();
    });
}

void EspeakEngine::start()
{
    if (!espeak().error.isEmpty()) {
        m_startError = QStringLiteral("no speech voices: ") + espeak().error;
        qCWarning(lcEspeak, "%s", qPrintable(m_startError));
        return;
    }
    const int rate = espeak().initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (rate <= 0) {
        m_startError = QStringLiteral("espeak-ng could not start (is espeak-ng-data installed?)");
        qCWarning(lcEspeak, "%s", qPrintable(m_startError));
        return;
    }
    m_sampleRate = rate;
    espeak().setParameter(espeakRATE, espeakRATE_NORMAL, 0);

    const espeak_VOICE** list = espeak().listVoices(nullptr);
    for (int i = 0; list && list[i]; ++i) {
        const espeak_VOICE& entry = *list[i];
        ListedVoice listed;
        // Languages come as (priority byte, zero-terminated tag) pairs, ended by an empty tag.
        for (const char* p = entry.languages; p && p[0] != 0 && p[1] != 0; p += std::strlen(p + 1) + 2)
            listed.languages.append({static_cast<unsigned char>(p[0]), lookupKey(QString::fromUtf8(p + 1))});
        if (listed.languages.isEmpty())
            continue;
        const QString identifier = QString::fromUtf8(entry.identifier);
        const QString name = QString::fromUtf8(entry.name).replace(QLatin1Char('_'), QLatin1Char(' '));
        const QString language = normalizedLanguage(listed.languages.first().second);
        listed.voice = {identifier, name, language, genderOf(entry.gender)};
        m_listed.append(listed);
        m_voices.append(listed.voice);
        // espeak-ng's language voices are nearly all male; its "f3" variant gives each a
        // female one, so a female preference has something to choose.
        m_voices.append(
            {identifier + QStringLiteral("+f3"), name + QStringLiteral(", female"), language, VoiceGender::female});
    }
}

std::optional<SpeechVoice> EspeakEngine::defaultVoice(const QString& localeID) const
{
    m_started.wait();
    const QString key = lookupKey(localeID);
    const ListedVoice* best = nullptr;
    int bestPriority = 0;
    for (const ListedVoice& listed : m_listed) {
        for (const auto& [priority, tag] : listed.languages) {
            if (tag == key && (!best || priority < bestPriority)) {
                best = &listed;
                bestPriority = priority;
            }
        }
    }
    if (!best)
        return std::nullopt;
    return best->voice;
}

void EspeakEngine::render(const QString& voiceID, const QString& text, double leadingSilence, double trailingSilence,
                          AudioSink onAudio, std::function<void(const QString& error)> done)
{
    m_worker.post(
        [this, voiceID, text, leadingSilence, trailingSilence, onAudio = std::move(onAudio), done = std::move(done)] {
            done(renderNow(voiceID, text, leadingSilence, trailingSilence, onAudio));
        });
}

void EspeakEngine::waitForRenders()
{
    m_worker.waitUntilIdle();
}

void EspeakEngine::runExclusive(const std::function<void()>& job)
{
    m_worker.runAndWait(job);
}

QString EspeakEngine::renderNow(const QString& voiceID, const QString& text, double leadingSilence,
                                double trailingSilence, const AudioSink& onAudio)
{
    if (!m_startError.isEmpty())
        return m_startError;
    // Only listed voices: espeak-ng would otherwise try the name as a file path.
    const bool listed = std::any_of(m_voices.begin(), m_voices.end(),
                                    [&](const SpeechVoice& voice) { return voice.identifier == voiceID; });
    if (!listed || espeak().setVoiceByName(voiceID.toUtf8().constData()) != EE_OK)
        return QStringLiteral("the voice '%1' is not installed").arg(voiceID);

    PieceWriter writer(m_sampleRate, leadingSilence, onAudio);
    espeak().setSynthCallback(collectSamples);  // an exclusive job may have set its own
    s_writer = &writer;
    const QByteArray utf8 = text.toUtf8();
    // Plain UTF-8 only: no SSML and no phoneme input, whatever the text contains.
    const espeak_ERROR result = espeak().synth(utf8.constData(), static_cast<size_t>(utf8.size()) + 1, 0, POS_CHARACTER,
                                               0, espeakCHARS_UTF8, nullptr, nullptr);
    s_writer = nullptr;
    if (writer.stopped())
        return {};
    if (result != EE_OK)
        return QStringLiteral("espeak-ng could not render the text (error %1)").arg(static_cast<int>(result));
    writer.writeSilence(trailingSilence);
    return {};
}

QString EspeakEngine::normalizedLanguage(const QString& espeakLanguage)
{
    const QString tag = lookupKey(espeakLanguage);
    if (tag == QLatin1String("cmn"))
        return QStringLiteral("zh-CN");
    if (tag == QLatin1String("yue"))
        return QStringLiteral("zh-HK");
    QStringList parts = tag.split(QLatin1Char('-'), Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < parts.size(); ++i) {
        QString& part = parts[i];
        const bool letters = std::all_of(part.begin(), part.end(), [](QChar c) { return c.isLetter(); });
        if (letters && part.size() == 2)
            part = part.toUpper();  // region
        else if (letters && part.size() == 4)
            part[0] = part[0].toUpper();  // script
    }
    return parts.join(QLatin1Char('-'));
}
