#include "Storage/SpeakerProfile.h"

#include "Support/ReferenceDate.h"

#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <limits>

bool SpeakerProfile::isEncodable() const
{
    return std::all_of(embedding.cbegin(), embedding.cend(), [](float v) { return std::isfinite(v); });
}

QJsonObject SpeakerProfile::toJson() const
{
    QJsonArray values;
    for (float v : embedding)
        values.append(static_cast<double>(v));
    return {{QStringLiteral("label"), label},
            {QStringLiteral("embedding"), values},
            {QStringLiteral("enrolledAt"), ReferenceDate::toSeconds(enrolledAt)}};
}

std::optional<SpeakerProfile> SpeakerProfile::fromJson(const QJsonValue& value)
{
    const QJsonObject object = value.toObject();
    const QJsonValue label = object.value(QStringLiteral("label"));
    const QJsonValue embedding = object.value(QStringLiteral("embedding"));
    const QJsonValue enrolledAt = object.value(QStringLiteral("enrolledAt"));
    if (!value.isObject() || !label.isString() || !embedding.isArray() || !enrolledAt.isDouble())
        return std::nullopt;

    SpeakerProfile profile{label.toString(), {}, ReferenceDate::fromSeconds(enrolledAt.toDouble())};
    const QJsonArray values = embedding.toArray();
    profile.embedding.reserve(values.size());
    for (const QJsonValue& v : values) {
        // A number beyond the float range is as unreadable as a missing one.
        if (!v.isDouble() || std::fabs(v.toDouble()) > std::numeric_limits<float>::max())
            return std::nullopt;
        profile.embedding.append(static_cast<float>(v.toDouble()));
    }
    return profile;
}
