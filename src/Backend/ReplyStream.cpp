#include "Backend/ReplyStream.h"

ReplyStream::ReplyStream(QObject* parent) : QObject(parent)
{
}

void ReplyStream::cancel()
{
    if (m_cancelled)
        return;
    m_cancelled = true;
    if (!m_ended && m_cancelHandler)
        std::exchange(m_cancelHandler, nullptr)();
    m_ended = true;
}

void ReplyStream::push(const QString& piece)
{
    if (!m_ended)
        post([this, piece] { emit textReceived(piece); });
}

void ReplyStream::finish()
{
    if (m_ended)
        return;
    m_ended = true;
    post([this] { emit finished(); });
}

void ReplyStream::fail(const QString& description)
{
    if (m_ended)
        return;
    m_ended = true;
    post([this, description] { emit failed(description); });
}

void ReplyStream::post(std::function<void()> emission)
{
    // Queued on the stream itself: order is kept, a destroyed stream drops what is pending,
    // and a cancel between posting and delivery silences the rest.
    QMetaObject::invokeMethod(
        this,
        [this, emission = std::move(emission)] {
            if (!m_cancelled)
                emission();
        },
        Qt::QueuedConnection);
}
