#pragma once

#include "Common/TestEnvironment.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QList>
#include <QString>

#include <optional>

// A store's file holding a fuzzer's bytes, in a fresh data root that lives as long as this
// object, and what the store may have done to the file since.
class FuzzedStoreFile {
public:
    // `path` names the store's file; it is asked once the data root is in place.
    FuzzedStoreFile(QString (*path)(), QByteArrayView bytes);

    // The elements when the bytes hold a JSON array whose every element decodes, else nothing.
    template <typename T>
    std::optional<QList<T>> decodeList(std::optional<T> (*decode)(const QJsonValue&)) const
    {
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(m_bytes, &error);
        if (error.error != QJsonParseError::NoError || !document.isArray())
            return std::nullopt;
        QList<T> items;
        for (const QJsonValue& element : document.array()) {
            std::optional<T> item = decode(element);
            if (!item)
                return std::nullopt;
            items.append(std::move(*item));
        }
        return items;
    }

    // The file still holds exactly the bytes, and nothing was moved aside.
    bool unchanged() const;
    // The file was moved aside exactly once, with exactly the bytes.
    bool movedAsideWhole() const;

private:
    ScopedDataRoot m_root;
    QString m_path;
    QByteArray m_bytes;
};
