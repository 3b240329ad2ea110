#pragma once

#include "Conversation/ConversationTurn.h"
#include "Support/SerialWorker.h"

#include <QList>

// The turns of the running conversation, bounded, plus a write-only record of every turn
// as one JSON line in "history/<local yyyy-MM-dd>.jsonl". Used on the GUI thread; the file
// writes run in order on one worker, which is drained when the history is destroyed.
class ConversationHistory {
public:
    // How many of the newest turns the backends get as context; twice as many are kept.
    static constexpr qsizetype kMaxContextTurns = 16;

    ConversationHistory();

    // Adds the turn in memory at once and queues its line for the day file.
    void append(const ConversationTurn& turn);

    const QList<ConversationTurn>& turns() const { return m_turns; }
    // The newest kMaxContextTurns turns, oldest first.
    QList<ConversationTurn> recentTurns() const;
    // Forgets the turns in memory; the day files stay as they are.
    void clear() { m_turns.clear(); }

    // Blocks until every queued line has been written.
    void waitForWrites() { m_writer.waitUntilIdle(); }

    // The day file of a moment: the local calendar day, not the UTC one.
    static QString dayFilePath(const QDateTime& timestamp);

private:
    QList<ConversationTurn> m_turns;
    SerialWorker m_writer;
};
