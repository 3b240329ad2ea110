#include "Conversation/MinutesEntry.h"

#include <QHashFunctions>

QString MinutesEntry::unknownSpeakerLabel()
{
    return QStringLiteral("Unknown");
}

MinutesEntry MinutesEntry::make(QDateTime timestamp, int speakerID, QString speakerLabel, QString text)
{
    return {QUuid::createUuid(), std::move(timestamp), speakerID, std::move(speakerLabel), std::move(text)};
}

size_t qHash(const MinutesEntry& entry, size_t seed) noexcept
{
    return qHashMulti(seed, entry.id, entry.timestamp, entry.speakerID, entry.speakerLabel, entry.text);
}
