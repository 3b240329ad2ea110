#pragma once

#include "UI/Models/TextTint.h"

enum class AppLanguage;

#include <QDateTime>
#include <QString>

#include <chrono>
#include <optional>

// Why and how long ago the end-of-turn detector last fired, as the tracking panel's badge
// shows it.
namespace FireReason {

struct Badge {
    QString label;  // short badge text, the same in every language
    QString description;  // one line, in the interface language
    TextTint tint;  // of the icon and the label
    QString icon;  // symbol name
};

// The first rule whose fragment the reason contains (case-sensitive) decides; "—" exactly
// means no fire yet; anything else is "OTHER" with the reason as its description.
Badge classify(const QString& reason, AppLanguage language);

// "1234ms ago": whole milliseconds from the fire to `now`, cut toward zero (negative when the
// clock was set back); "—" before the first fire.
QString ageText(const std::optional<QDateTime>& lastFireAt, std::chrono::system_clock::time_point now);

}  // namespace FireReason
