#include "Analytics/RozeLogQueue.h"

#include "Support/FileIO.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QLoggingCategory>

#include <algorithm>

Q_LOGGING_CATEGORY(lcQueue, "app.parlivox.analytics")

namespace {
const QString kSuffix = QStringLiteral(".json");
}  // namespace

RozeLogQueue::RozeLogQueue(QString directory, int capacity)
    : m_directory(std::move(directory)), m_capacity(std::max(capacity, 1))
{
}

void RozeLogQueue::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    QString error;
    if (!FileIO::ensureDirectory(m_directory, true, &error))
        qCWarning(lcQueue, "log queue unavailable: %s", qPrintable(error));
    // Names start with the zero-padded time and sequence, so name order is queue order.
    m_names = QDir(m_directory).entryList({QStringLiteral("*") + kSuffix}, QDir::Files, QDir::Name);
    while (m_names.size() > m_capacity) {
        deleteFile(m_names.takeFirst());
        ++m_dropped;
    }
}

bool RozeLogQueue::enqueue(const QJsonObject& record, QString* error)
{
    load();
    // "<milliseconds since 1970, 13 digits>-<sequence, 8 digits>.json"
    const QString stamp = QStringLiteral("%1").arg(QDateTime::currentMSecsSinceEpoch(), 13, 10, QLatin1Char('0'));
    QString name;
    do {
        name = stamp + QStringLiteral("-%1").arg(m_nextSequence++, 8, 10, QLatin1Char('0')) + kSuffix;
    } while (QFile::exists(m_directory + QLatin1Char('/') + name));
    if (!FileIO::writeAtomically(m_directory + QLatin1Char('/') + name,
                                 QJsonDocument(record).toJson(QJsonDocument::Compact), error, true))
        return false;
    m_names.append(name);
    while (m_names.size() > m_capacity) {
        deleteFile(m_names.takeFirst());
        ++m_dropped;
    }
    return true;
}

QList<RozeLogQueue::Item> RozeLogQueue::oldest(int count)
{
    load();
    QList<Item> items;
    for (qsizetype i = 0; i < m_names.size() && items.size() < count;) {
        const QString& name = m_names[i];
        QString error;
        const auto data = FileIO::readAll(m_directory + QLatin1Char('/') + name, &error);
        QJsonParseError parseError;
        const QJsonDocument document = data ? QJsonDocument::fromJson(*data, &parseError) : QJsonDocument();
        if (!document.isObject()) {
            // A half-written or foreign file would block the queue forever; it is not the user's data.
            qCWarning(lcQueue, "dropping unreadable queued record %s: %s", qPrintable(name),
                      qPrintable(data ? parseError.errorString() : error));
            deleteFile(name);
            m_names.removeAt(i);
            continue;
        }
        items.append(Item{name, document.object()});
        ++i;
    }
    return items;
}

void RozeLogQueue::remove(const QStringList& names)
{
    load();
    for (const QString& name : names) {
        if (m_names.removeOne(name))
            deleteFile(name);
    }
}

int RozeLogQueue::size()
{
    load();
    return static_cast<int>(m_names.size());
}

void RozeLogQueue::deleteFile(const QString& name)
{
    QFile::remove(m_directory + QLatin1Char('/') + name);
}
