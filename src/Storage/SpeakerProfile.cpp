#include "Storage/SpeakerProfile.h"

#include "Support/ReferenceDate.h"

#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

bool isFinite(const QList<float>& values)
{
    return std::all_of(values.cbegin(), values.cend(), [](float v) { return std::isfinite(v); });
}

QJsonArray toArray(const QList<float>& values)
{
    QJsonArray array;
    for (float v : values)
        array.append(static_cast<double>(v));
    return array;
}

std::optional<QList<float>> fromArray(const QJsonValue& value)
{
    if (!value.isArray())
        return std::nullopt;
    const QJsonArray array = value.toArray();
    QList<float> values;
    values.reserve(array.size());
    for (const QJsonValue& v : array) {
        // A number beyond the float range is as unreadable as a missing one.
        if (!v.isDouble() || std::fabs(v.toDouble()) > std::numeric_limits<float>::max())
            return std::nullopt;
        values.append(static_cast<float>(v.toDouble()));
    }
    return values;
}

}  // namespace

bool SpeakerProfile::isEncodable() const
{
    return isFinite(embedding) && isFinite(voiceprint);
}

QJsonObject SpeakerProfile::toJson() const
{
    QJsonObject object{{QStringLiteral("label"), label},
                       {QStringLiteral("embedding"), toArray(embedding)},
                       {QStringLiteral("enrolledAt"), ReferenceDate::toSeconds(enrolledAt)}};
    if (!voiceprint.isEmpty())
        object.insert(QStringLiteral("voiceprint"), toArray(voiceprint));
    return object;
}

std::optional<SpeakerProfile> SpeakerProfile::fromJson(const QJsonValue& value)
{
    const QJsonObject object = value.toObject();
    const QJsonValue label = object.value(QStringLiteral("label"));
    const QJsonValue enrolledAt = object.value(QStringLiteral("enrolledAt"));
    const std::optional<QList<float>> embedding = fromArray(object.value(QStringLiteral("embedding")));
    const QJsonValue voiceprintValue = object.value(QStringLiteral("voiceprint"));
    const std::optional<QList<float>> voiceprint =
        voiceprintValue.isUndefined() ? QList<float>() : fromArray(voiceprintValue);
    if (!value.isObject() || !label.isString() || !embedding || !enrolledAt.isDouble() || !voiceprint)
        return std::nullopt;
    return SpeakerProfile{label.toString(), *embedding, ReferenceDate::fromSeconds(enrolledAt.toDouble()), *voiceprint};
}
