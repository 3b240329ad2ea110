#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <optional>

// A voice the user enrolled under a name, so the same person keeps the same label in later
// meetings. Stored as JSON {"embedding": [numbers], "enrolledAt": seconds since
// 2001-01-01T00:00:00Z, "label": text}.
struct SpeakerProfile {
    QString label;
    QList<float> embedding;
    QDateTime enrolledAt;

    // False when the embedding holds NaN or infinity: JSON cannot carry those.
    bool isEncodable() const;

    QJsonObject toJson() const;
    // Nothing unless all three keys are present with the right types.
    static std::optional<SpeakerProfile> fromJson(const QJsonValue& value);

    friend bool operator==(const SpeakerProfile&, const SpeakerProfile&) = default;
};
