#pragma once

#include "Audio/Speaker.h"
#include "Conversation/MinutesEntry.h"

#include <QList>
#include <QObject>

// The minutes the view shows: every utterance written down (oldest first) and the speakers
// the classifier currently knows. Memory only; the engine is its one writer. GUI thread.
class MinutesStore : public QObject {
    Q_OBJECT
public:
    explicit MinutesStore(QObject* parent = nullptr);

    const QList<MinutesEntry>& entries() const { return m_entries; }
    void setEntries(QList<MinutesEntry> entries);
    void appendEntry(MinutesEntry entry);
    // The line with this id gets `text` (same line, same place); false when there is none.
    bool setEntryText(const QUuid& id, const QString& text);

    const QList<Speaker>& knownSpeakers() const { return m_knownSpeakers; }
    void setKnownSpeakers(QList<Speaker> speakers);

    // Gives every entry and known speaker with this id the name, trimmed. A blank name
    // changes nothing and returns false.
    bool renameSpeaker(int speakerID, const QString& name);

signals:
    void entriesChanged();
    void knownSpeakersChanged();

private:
    QList<MinutesEntry> m_entries;
    QList<Speaker> m_knownSpeakers;
};
