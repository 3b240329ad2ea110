#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <optional>

// A voice the user enrolled under a name, so the same person keeps the same label in later
// meetings. Stored as JSON {"embedding": [numbers], "enrolledAt": seconds since
// 2001-01-01T00:00:00Z, "label": text, "voiceprint": [numbers]}; the voiceprint is left out
// when there is none, so profiles without one keep the form they were written in.
struct SpeakerProfile {
    QString label;
    QList<float> embedding;  // the 24-band vector
    QDateTime enrolledAt;
    QList<float> voiceprint;  // empty for profiles enrolled before voiceprints

    // False when a vector holds NaN or infinity: JSON cannot carry those.
    bool isEncodable() const;

    QJsonObject toJson() const;
    // Nothing unless label, embedding and date are present with the right types, and the
    // voiceprint, when present, is a list of numbers.
    static std::optional<SpeakerProfile> fromJson(const QJsonValue& value);

    friend bool operator==(const SpeakerProfile&, const SpeakerProfile&) = default;
};
