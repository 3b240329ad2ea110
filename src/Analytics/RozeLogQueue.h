#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

// The upload queue on disk: one JSON file per record in one directory, oldest first, so
// queued records survive a restart. Not thread-safe: the client touches it from its worker
// thread only.
class RozeLogQueue {
public:
    struct Item {
        QString name;  // file name, the item's identity
        QJsonObject record;
    };

    // Nothing is read or created until the first call.
    RozeLogQueue(QString directory, int capacity);
    RozeLogQueue(const RozeLogQueue&) = delete;
    RozeLogQueue& operator=(const RozeLogQueue&) = delete;

    // Writes the record; beyond the capacity the oldest records are deleted. False with the
    // reason when the record could not be written.
    bool enqueue(const QJsonObject& record, QString* error = nullptr);
    // Up to `count` of the oldest records, oldest first. A file that cannot be read or is not
    // a JSON object is deleted on the way and does not count.
    QList<Item> oldest(int count);
    // Deletes the named records; names no longer queued are ignored.
    void remove(const QStringList& names);

    int size();
    // Records deleted to stay within the capacity, since the queue was made.
    std::uint64_t dropped() const { return m_dropped; }
    const QString& directory() const { return m_directory; }

private:
    void load();
    void deleteFile(const QString& name);

    const QString m_directory;
    const int m_capacity;
    bool m_loaded = false;
    QStringList m_names;  // oldest first
    std::uint64_t m_nextSequence = 0;
    std::uint64_t m_dropped = 0;
};
