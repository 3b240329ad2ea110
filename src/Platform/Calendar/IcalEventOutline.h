#pragma once

#include "Platform/Calendar/IcalTextWindow.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// What of a VEVENT's text a listing reads, which libical reads far faster than the whole: of
// its own lines (not those of a component inside it), those of its fields, its UID and
// SEQUENCE, its rules and dates, the occurrence it replaces, and any that names a zone. Of
// those, first what says which copy of it wins, its identity: UID, SEQUENCE, DTSTART, rules and
// dates, the occurrence it replaces, and a line of each zone named elsewhere (an unknown one
// names its file), with the other lines of that name, so that lines of one name keep their
// order. Between its BEGIN and END lines; nothing without a UID line, since the whole text then
// names the event.
struct IcalEventOutline {
    QByteArray listed;
    qsizetype identityEnd = 0;  // where its identity ends in `listed`
    qsizetype endLine = 0;  // where its END line begins in `listed`
    // Its UID as libical reads it, when its UID line is plain enough to read without libical.
    std::optional<QString> uid;
    IcalTextWindow::Lines dates;  // in the text outlined, which must outlive them
    // A series or an override of one of a series' occurrences (an RRULE, RDATE or
    // RECURRENCE-ID), read with the other VEVENTs of its UID once their calendar is read.
    bool ofASeries = false;
    bool override = false;

    static IcalEventOutline of(const QByteArray& text);

    // Its identity alone, between its BEGIN and END lines.
    QByteArray identity() const { return identityOf(listed, identityEnd, endLine); }
    static QByteArray identityOf(QByteArrayView listed, qsizetype identityEnd, qsizetype endLine);
};
