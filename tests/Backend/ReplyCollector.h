#pragma once

#include "Backend/ReplyStream.h"

#include <QStringList>

#include <memory>

// Records what a reply stream delivers, for assertions on order and on the single ending.
// It either watches a stream owned elsewhere or owns the one it is given.
class ReplyCollector {
public:
    explicit ReplyCollector(ReplyStream& stream);
    explicit ReplyCollector(std::unique_ptr<ReplyStream> stream);

    // Runs the event loop until the stream has ended (or the wait gives up), then once more
    // so that anything wrongly sent after the ending is caught too.
    bool waitUntilEnded(int timeoutMs = 10000);
    bool ended() const { return finishedCount + int(failures.size()) > 0; }
    QString text() const { return pieces.join(QString()); }
    ReplyStream* stream() const { return m_owned.get(); }
    void release() { m_owned.reset(); }

    QStringList pieces;
    int finishedCount = 0;
    QStringList failures;

private:
    std::unique_ptr<ReplyStream> m_owned;
};
