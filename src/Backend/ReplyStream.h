#pragma once

#include <QObject>
#include <QString>

#include <functional>

// The reply of one turn: pieces of text in order, then exactly one finished() or failed(),
// emitted on the stream's thread and never before control has returned to the event loop,
// so a consumer that connects right after receiving the stream misses nothing.
//
// The consumer owns the stream. cancel() ends the work behind it (aborts the request,
// terminates the agent); nothing is emitted after it. The producers of a stream are its
// children, so destroying it also stops and cleans up whatever still runs.
class ReplyStream : public QObject {
    Q_OBJECT
public:
    explicit ReplyStream(QObject* parent = nullptr);

    void cancel();
    bool isCancelled() const { return m_cancelled; }

    // Producer side, on the stream's thread. Calls after finish() or fail() are ignored.
    void push(const QString& piece);
    void finish();
    void fail(const QString& description);
    // Runs once, on the first cancel() before the stream has ended.
    void setCancelHandler(std::function<void()> handler) { m_cancelHandler = std::move(handler); }

signals:
    void textReceived(const QString& piece);
    void finished();
    void failed(const QString& description);

private:
    void post(std::function<void()> emission);

    bool m_ended = false;
    bool m_cancelled = false;
    std::function<void()> m_cancelHandler;
};
