#include "Persona/Alias.h"

#include <cmath>

namespace {
// The stored dates count seconds from 2001-01-01T00:00:00Z.
constexpr qint64 referenceEpochMSecs = 978307200000LL;
}  // namespace

QJsonObject Alias::toJson() const
{
    return {{QStringLiteral("wrong"), wrong},
            {QStringLiteral("right"), right},
            {QStringLiteral("addedAt"), static_cast<double>(addedAt.toMSecsSinceEpoch() - referenceEpochMSecs) / 1000.0}};
}

std::optional<Alias> Alias::fromJson(const QJsonValue& value)
{
    const QJsonObject object = value.toObject();
    const QJsonValue wrong = object.value(QStringLiteral("wrong"));
    const QJsonValue right = object.value(QStringLiteral("right"));
    const QJsonValue addedAt = object.value(QStringLiteral("addedAt"));
    if (!value.isObject() || !wrong.isString() || !right.isString() || !addedAt.isDouble())
        return std::nullopt;
    const qint64 msecs = std::llround(addedAt.toDouble() * 1000.0) + referenceEpochMSecs;
    return Alias{wrong.toString(), right.toString(), QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC)};
}
