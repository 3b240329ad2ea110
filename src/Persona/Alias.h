#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <optional>

// A correction for a word speech recognition keeps getting wrong: when a transcript says
// `wrong`, the user meant `right`. Stored as JSON {"addedAt": seconds since
// 2001-01-01T00:00:00Z, "right": text, "wrong": text}.
struct Alias {
    QString wrong;
    QString right;
    QDateTime addedAt;

    QJsonObject toJson() const;
    // Nothing unless all three keys are present with the right types.
    static std::optional<Alias> fromJson(const QJsonValue& value);

    bool operator==(const Alias&) const = default;
};
