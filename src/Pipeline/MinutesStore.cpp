#include "Pipeline/MinutesStore.h"

#include "Support/Text.h"

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

void MinutesStore::setLastEntryText(const QString& text)
{
    if (m_entries.isEmpty())
        return;
    m_entries.last().text = text;
    emit entriesChanged();
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
