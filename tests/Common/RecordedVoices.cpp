#include "Common/RecordedVoices.h"

#include <QDir>
#include <QFile>

#include <sndfile.h>

const QStringList& RecordedVoices::people()
{
    static const QStringList people{QStringLiteral("en_US_f_Allison"), QStringLiteral("fr_CA_f_June"),
                                    QStringLiteral("it_IT_m_Carlo")};
    return people;
}

std::vector<std::vector<float>> RecordedVoices::utterances(const QString& person, int count)
{
    const QDir folder(QStringLiteral("/usr/share/asterisk/sounds/") + person);
    std::vector<std::vector<float>> found;
    for (const QString& name : folder.entryList({QStringLiteral("*.wav")}, QDir::Files, QDir::Name)) {
        SF_INFO info{};
        SNDFILE* file = sf_open(QFile::encodeName(folder.filePath(name)).constData(), SFM_READ, &info);
        if (!file)
            continue;
        const double seconds = double(info.frames) / info.samplerate;
        if (info.channels == 1 && info.samplerate == kRate && seconds >= 2 && seconds <= 6) {
            std::vector<float> samples(std::size_t(info.frames));
            sf_readf_float(file, samples.data(), info.frames);
            found.push_back(std::move(samples));
        }
        sf_close(file);
        if (int(found.size()) == count)
            break;
    }
    return found;
}
