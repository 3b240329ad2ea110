#include "Pipeline/MinutesStore.h"

#include "Support/Text.h"

#include <algorithm>

MinutesStore::MinutesStore(QObject* parent) : QObject(parent)
{
}

void MinutesStore::setEntries(QList<MinutesEntry> entries)
{
    m_entries = std::move(entries);
    emit entriesChanged();
}

void MinutesStore::appendEntry(MinutesEntry entry)
{
    m_entries.append(std::move(entry));
    emit entriesChanged();
}

bool MinutesStore::setEntryText(const QUuid& id, const QString& text)
{
    const auto entry = std::find_if(m_entries.begin(), m_entries.end(), [&](const MinutesEntry& e) { return e.id == id; });
    if (entry == m_entries.end())
        return false;
    entry->text = text;
    emit entriesChanged();
    return true;
}

void MinutesStore::setKnownSpeakers(QList<Speaker> speakers)
{
    m_knownSpeakers = std::move(speakers);
    emit knownSpeakersChanged();
}

bool MinutesStore::renameSpeaker(int speakerID, const QString& name)
{
    const QString label = Text::trimmed(name);
    if (label.isEmpty())
        return false;
    for (MinutesEntry& entry : m_entries)
        if (entry.speakerID == speakerID)
            entry.speakerLabel = label;
    for (Speaker& speaker : m_knownSpeakers)
        if (speaker.id == speakerID)
            speaker.label = label;
    emit entriesChanged();
    emit knownSpeakersChanged();
    return true;
}
