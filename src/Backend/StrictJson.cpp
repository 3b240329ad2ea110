#include "Backend/StrictJson.h"

#include "Support/Text.h"

#include <QJsonDocument>

namespace StrictJson {

namespace {

template <typename T, typename IsType, typename Convert>
Field<T> read(const QJsonObject& object, QLatin1String key, IsType isType, Convert convert)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull())
        return {};
    if (!isType(value))
        return {true, std::nullopt};
    return {false, convert(value)};
}

}  // namespace

Field<QString> string(const QJsonObject& object, QLatin1String key)
{
    return read<QString>(
        object, key, [](const QJsonValue& v) { return v.isString(); },
        [](const QJsonValue& v) { return v.toString(); });
}

Field<QJsonArray> array(const QJsonObject& object, QLatin1String key)
{
    return read<QJsonArray>(
        object, key, [](const QJsonValue& v) { return v.isArray(); }, [](const QJsonValue& v) { return v.toArray(); });
}

Field<QJsonObject> object(const QJsonObject& object, QLatin1String key)
{
    return read<QJsonObject>(
        object, key, [](const QJsonValue& v) { return v.isObject(); },
        [](const QJsonValue& v) { return v.toObject(); });
}

std::optional<QJsonObject> objectLine(const QString& line)
{
    const QString trimmed = Text::trimmed(line);
    if (!trimmed.startsWith(QLatin1Char('{')))
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(trimmed.toUtf8());
    if (!document.isObject())
        return std::nullopt;
    return document.object();
}

}  // namespace StrictJson
