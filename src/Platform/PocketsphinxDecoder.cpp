#include "Platform/PocketsphinxDecoder.h"

#include "Support/LateLibrary.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <pocketsphinx.h>
#include <sphinxbase/err.h>

namespace {

// pocketsphinx's functions (and those of sphinxbase, which it brings), from its library,
// opened when a model is first loaded.
struct Pocketsphinx {
    decltype(err_set_logfp)* setLogFile;
    decltype(cmd_ln_init)* initConfig;
    decltype(cmd_ln_free_r)* freeConfig;
    decltype(ps_args)* arguments;
    decltype(ps_init)* init;
    decltype(ps_free)* free;
    decltype(ps_start_utt)* startUtterance;
    decltype(ps_process_raw)* processRaw;
    decltype(ps_get_in_speech)* inSpeech;
    decltype(ps_get_hyp)* hypothesis;
    decltype(ps_end_utt)* endUtterance;
    QString error;  // empty when every function was found
};

const Pocketsphinx& pocketsphinx()
{
    static const Pocketsphinx api = [] {
        LateLibrary library(QStringLiteral("pocketsphinx"), 3);
        Pocketsphinx found{library.function<decltype(err_set_logfp)>("err_set_logfp"),
                           library.function<decltype(cmd_ln_init)>("cmd_ln_init"),
                           library.function<decltype(cmd_ln_free_r)>("cmd_ln_free_r"),
                           library.function<decltype(ps_args)>("ps_args"),
                           library.function<decltype(ps_init)>("ps_init"),
                           library.function<decltype(ps_free)>("ps_free"),
                           library.function<decltype(ps_start_utt)>("ps_start_utt"),
                           library.function<decltype(ps_process_raw)>("ps_process_raw"),
                           library.function<decltype(ps_get_in_speech)>("ps_get_in_speech"),
                           library.function<decltype(ps_get_hyp)>("ps_get_hyp"),
                           library.function<decltype(ps_end_utt)>("ps_end_utt"),
                           library.error()};
        // pocketsphinx writes its progress to stderr unless told otherwise; the setting is global.
        if (found.error.isEmpty())
            found.setLogFile(nullptr);
        return found;
    }();
    return api;
}

// "en-us" → "en-US", "zh-hant" → "zh-Hant".
QString localeFromDirectoryName(const QString& name)
{
    QStringList parts = name.split(QRegularExpression(QStringLiteral("[-_]")));
    parts[0] = parts[0].toLower();
    for (qsizetype i = 1; i < parts.size(); ++i)
        parts[i] = parts[i].size() == 4 ? parts[i].left(1).toUpper() + parts[i].mid(1).toLower() : parts[i].toUpper();
    return parts.join(QLatin1Char('-'));
}

bool isCompleteAcousticModel(const QDir& dir)
{
    for (const char* file : {"mdef", "means", "variances", "transition_matrices", "feat.params"})
        if (!dir.exists(QString::fromLatin1(file)))
            return false;
    return dir.exists(QStringLiteral("sendump")) || dir.exists(QStringLiteral("mixture_weights"));
}

}  // namespace

PocketsphinxDecoder::PocketsphinxDecoder() = default;

PocketsphinxDecoder::~PocketsphinxDecoder()
{
    unload();
}

SpeechEngine PocketsphinxDecoder::installedEngine()
{
    return {installedModels(), [] { return std::make_unique<PocketsphinxDecoder>(); }};
}

QList<SpeechModel> PocketsphinxDecoder::installedModels(const QString& root)
{
    QList<SpeechModel> models;
    const QDir rootDir(root);
    for (const QString& name : rootDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QDir languageDir(rootDir.filePath(name));
        const SpeechModel model{localeFromDirectoryName(name), languageDir.filePath(name),
                                languageDir.filePath(name + QStringLiteral(".lm.bin")),
                                languageDir.filePath(QStringLiteral("cmudict-") + name + QStringLiteral(".dict"))};
        if (isCompleteAcousticModel(QDir(model.acousticModel)) && QFileInfo(model.languageModel).isFile() &&
            QFileInfo(model.dictionary).isFile())
            models.append(model);
    }
    return models;
}

bool PocketsphinxDecoder::load(const SpeechModel& model, QString* error)
{
    unload();
    if (!isCompleteAcousticModel(QDir(model.acousticModel)) || !QFileInfo(model.languageModel).isFile() ||
        !QFileInfo(model.dictionary).isFile()) {
        if (error)
            *error = QStringLiteral("model files for %1 are missing").arg(model.localeID);
        return false;
    }
    const Pocketsphinx& sphinx = pocketsphinx();
    if (!sphinx.error.isEmpty()) {
        if (error)
            *error = QStringLiteral("no speech recognition: ") + sphinx.error;
        return false;
    }
    const QByteArray hmm = QFile::encodeName(model.acousticModel);
    const QByteArray lm = QFile::encodeName(model.languageModel);
    const QByteArray dict = QFile::encodeName(model.dictionary);
    m_config = sphinx.initConfig(nullptr, sphinx.arguments(), TRUE, "-hmm", hmm.constData(), "-lm", lm.constData(),
                                 "-dict", dict.constData(), "-samprate", "16000", nullptr);
    if (m_config)
        m_decoder = sphinx.init(m_config);
    if (!m_decoder) {
        unload();
        if (error)
            *error = QStringLiteral("the model for %1 could not be loaded").arg(model.localeID);
        return false;
    }
    return true;
}

void PocketsphinxDecoder::unload()
{
    // Both are set only once the library was loaded.
    if (m_decoder) {
        if (m_inUtterance)
            pocketsphinx().endUtterance(m_decoder);
        pocketsphinx().free(m_decoder);
    }
    if (m_config)
        pocketsphinx().freeConfig(m_config);
    m_decoder = nullptr;
    m_config = nullptr;
    m_inUtterance = false;
}

bool PocketsphinxDecoder::startUtterance(QString* error)
{
    if (!m_decoder || pocketsphinx().startUtterance(m_decoder) < 0) {
        if (error)
            *error = QStringLiteral("the decoder could not start an utterance");
        return false;
    }
    m_inUtterance = true;
    return true;
}

bool PocketsphinxDecoder::process(const std::int16_t* samples, std::size_t count, QString* error)
{
    if (!m_decoder || !m_inUtterance || pocketsphinx().processRaw(m_decoder, samples, count, FALSE, FALSE) < 0) {
        if (error)
            *error = QStringLiteral("the decoder could not process audio");
        return false;
    }
    return true;
}

bool PocketsphinxDecoder::inSpeech() const
{
    return m_decoder && m_inUtterance && pocketsphinx().inSpeech(m_decoder) != 0;
}

QString PocketsphinxDecoder::hypothesis()
{
    if (!m_decoder)
        return {};
    int32 score = 0;
    const char* text = pocketsphinx().hypothesis(m_decoder, &score);
    return text ? QString::fromUtf8(text) : QString();
}

QString PocketsphinxDecoder::endUtterance()
{
    if (!m_decoder || !m_inUtterance)
        return {};
    pocketsphinx().endUtterance(m_decoder);
    m_inUtterance = false;
    return hypothesis();
}
