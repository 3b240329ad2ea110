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

// The VEVENTs whose UID line says `uid` (without parameters), in the order they stand; lines
// are read unfolded, in any case and without the blanks around them.
QList<Span> eventsOf(const QByteArray& text, const QByteArray& uid);

// Where `after` differs from `before` outside the VEVENTs whose UID line is `uid`: from the first
// one's BEGIN line to the end of the last one's END line, where a change may also add
// components; nothing when it differs only there. Where no VEVENT says `uid`, any difference.
std::optional<QString> changedOutside(const QByteArray& before, const QByteArray& after, const QByteArray& uid);

}  // namespace CalendarBytes
