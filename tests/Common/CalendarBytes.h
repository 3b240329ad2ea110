#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// Comparing a calendar file before and after a change, byte for byte.
namespace CalendarBytes {

// Where one VEVENT stands in a text: from its BEGIN line to the end of its END line (or of the
// text, when it has none).
struct Span {
    qsizetype begin;
    qsizetype end;
};

// The VEVENTs whose UID line, unfolded and in any case, says `uid` (written with no parameters),
// in the order they stand.
QList<Span> eventsOf(const QByteArray& text, const QByteArray& uid);

// Where `after` differs from `before` outside the VEVENTs whose UID line is `uid`: from the first
// one's BEGIN line to the end of the last one's END line, where a change may also add
// components; nothing when it differs only there. Where no VEVENT says `uid`, any difference.
std::optional<QString> changedOutside(const QByteArray& before, const QByteArray& after, const QByteArray& uid);

}  // namespace CalendarBytes
