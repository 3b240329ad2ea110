#pragma once

#include "Support/FileIO.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QList>
#include <QLoggingCategory>
#include <QString>

#include <functional>
#include <optional>

// A list kept as one JSON array file, pretty-printed (keys sorted) and replaced atomically.
// A missing file is an empty list; one that exists but cannot be read or decoded is damaged,
// and is moved aside, and logged, before anything new is written in its place. The store
// that owns the file keeps its own rules and says which log channel and words to use.
template <typename T>
struct JsonListFile {
    enum class State { missing, unreadable, undecodable, readable };

    struct Contents {
        State state = State::missing;
        QList<T> items;  // empty unless readable
        QString error;  // why, when unreadable or undecodable

        bool isDamaged() const { return state == State::unreadable || state == State::undecodable; }
    };

    QString path;
    // One element of the array, or nothing when it is not a valid item.
    std::function<std::optional<T>(const QJsonValue&)> decode;
    std::function<QJsonValue(const T&)> encode;
    const QLoggingCategory& (*category)();  // the owner's log channel
    const char* name;  // the file in log lines, e.g. "alias file"
    const char* invalidEntry;  // the error of an element that does not decode; %1 is its index

    Contents read() const
    {
        Contents contents;
        if (!QFileInfo::exists(path))
            return contents;
        const std::optional<QByteArray> data = FileIO::readAll(path, &contents.error);
        if (!data) {
            contents.state = State::unreadable;
            return contents;
        }
        contents.state = State::undecodable;
        QJsonParseError parseError{};
        const QJsonDocument document = QJsonDocument::fromJson(*data, &parseError);
        if (parseError.error != QJsonParseError::NoError) {
            contents.error = parseError.errorString();
            return contents;
        }
        if (!document.isArray()) {
            contents.error = QStringLiteral("the file does not hold a list");
            return contents;
        }
        const QJsonArray array = document.array();
        for (qsizetype i = 0; i < array.size(); ++i) {
            std::optional<T> item = decode(array.at(i));
            if (!item) {
                contents.items.clear();
                contents.error = QString::fromUtf8(invalidEntry).arg(i);
                return contents;
            }
            contents.items.append(std::move(*item));
        }
        contents.state = State::readable;
        return contents;
    }

    // Failures are logged and the old file stays as it was; false with the reason then.
    bool write(const QList<T>& items, QString* error = nullptr) const
    {
        QString cause;
        if (!FileIO::ensureDirectory(QFileInfo(path).path(), false, &cause))
            return failed(cause, error);
        if (const Contents existing = read(); existing.isDamaged()) {
            const QString aside = FileIO::moveAside(path, &cause);
            if (aside.isEmpty())
                return failed(QStringLiteral("cannot move the damaged %1 aside: %2").arg(path, cause), error);
            qCWarning(category, "moved the damaged %s (%s) to %s", name, qUtf8Printable(existing.error),
                      qUtf8Printable(aside));
        }
        QJsonArray array;
        for (const T& item : items)
            array.append(encode(item));
        if (!FileIO::writeAtomically(path, QJsonDocument(array).toJson(QJsonDocument::Indented), &cause))
            return failed(cause, error);
        return true;
    }

private:
    bool failed(const QString& cause, QString* error) const
    {
        qCCritical(category, "save failed: %s", qUtf8Printable(cause));
        if (error)
            *error = cause;
        return false;
    }
};
