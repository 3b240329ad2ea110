#include "Persona/Alias.h"

#include "Support/ReferenceDate.h"

QJsonObject Alias::toJson() const
{
    return {{QStringLiteral("wrong"), wrong},
            {QStringLiteral("right"), right},
            {QStringLiteral("addedAt"), ReferenceDate::toSeconds(addedAt)}};
}

std::optional<Alias> Alias::fromJson(const QJsonValue& value)
{
    const QJsonObject object = value.toObject();
    const QJsonValue wrong = object.value(QStringLiteral("wrong"));
    const QJsonValue right = object.value(QStringLiteral("right"));
    const QJsonValue addedAt = object.value(QStringLiteral("addedAt"));
    if (!value.isObject() || !wrong.isString() || !right.isString() || !addedAt.isDouble())
        return std::nullopt;
    return Alias{wrong.toString(), right.toString(), ReferenceDate::fromSeconds(addedAt.toDouble())};
}
