#include "STT/SpeechEngine.h"

std::optional<SpeechModel> SpeechEngine::model(const QString& localeID) const
{
    QString wanted = localeID;
    wanted.replace(QLatin1Char('_'), QLatin1Char('-'));
    for (const SpeechModel& candidate : models)
        if (candidate.localeID.compare(wanted, Qt::CaseInsensitive) == 0)
            return candidate;
    return std::nullopt;
}

QStringList SpeechEngine::localeIDs() const
{
    QStringList ids;
    for (const SpeechModel& model : models)
        ids.append(model.localeID);
    return ids;
}
