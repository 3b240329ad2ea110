#include "ReplyCollector.h"

#include <QCoreApplication>
#include <QTest>

ReplyCollector::ReplyCollector(ReplyStream& stream)
{
    QObject::connect(&stream, &ReplyStream::textReceived, &stream, [this](const QString& piece) { pieces << piece; });
    QObject::connect(&stream, &ReplyStream::finished, &stream, [this] { ++finishedCount; });
    QObject::connect(&stream, &ReplyStream::failed, &stream, [this](const QString& error) { failures << error; });
}

ReplyCollector::ReplyCollector(std::unique_ptr<ReplyStream> stream) : ReplyCollector(*stream)
{
    m_owned = std::move(stream);
}

bool ReplyCollector::waitUntilEnded(int timeoutMs)
{
    const bool done = QTest::qWaitFor([this] { return ended(); }, timeoutMs);
    QCoreApplication::processEvents();
    return done;
}
