#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include <optional>

// Optional fields read the way a strict decoder reads them: a missing key or null is
// absent, a value of another type makes the whole reply malformed. Unknown keys are ignored.
namespace StrictJson {

template <typename T>
struct Field {
    bool malformed = false;
    std::optional<T> value;
};

Field<QString> string(const QJsonObject& object, QLatin1String key);
Field<QJsonArray> array(const QJsonObject& object, QLatin1String key);
Field<QJsonObject> object(const QJsonObject& object, QLatin1String key);

// A line of JSON-lines output: the object it holds once trimmed (it must start with "{"),
// else nothing.
std::optional<QJsonObject> objectLine(const QString& line);

}  // namespace StrictJson
