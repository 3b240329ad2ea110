#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Comparing a calendar file before and after a change, byte for byte.
namespace CalendarBytes {

// Where `after` differs from `before` outside the VEVENTs whose UID line is `uid` (from their
// BEGIN line to the end of their END line, and what was put right after them); nothing when
// it differs only inside them.
std::optional<QString> changedOutside(const QByteArray& before, const QByteArray& after, const QByteArray& uid);

}  // namespace CalendarBytes
