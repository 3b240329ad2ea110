#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>

// A listing's window as the text of a calendar's VEVENTs sees it: whether an event may have an
// occurrence there is decided from a few values of its own lines, without libical's parser of
// components, which takes far longer over a VEVENT. The values are DTSTART, DTEND or DURATION,
// RDATE (dates, times, periods), and the UNTIL or COUNT of each RRULE, where
// IcalRecurrence::startsBefore says a rule surely ends. A time is read only in the forms whose
// digits alone say it; rules, durations and periods with libical's value parsers. A time of a
// zone (a TZID, floating, a date) is placed anywhere within the widest offset a zone may have,
// so no zone is resolved. What it cannot read surely (a value it cannot parse, a form it does
// not know, a rule nothing ends, no DTSTART) may reach the window.
class IcalTextWindow {
public:
    // The widest a zone of the database is offset from UTC: −12 to +14 hours today, and nearly
    // 16 in the local mean times some zones kept before they were set (Manila until 1844).
    static constexpr qint64 kWidestOffsetSeconds = 16 * 3600;

    // The lines of one VEVENT that decide, gathered as its own lines are read
    // (IcalOwnLines::forEach); they point into its text, which must outlive them.
    class Lines {
    public:
        void take(QByteArrayView line, const QByteArray& name);

    private:
        friend class IcalTextWindow;
        enum Kind { start, end, duration, rule, date };
        QList<std::pair<Kind, QByteArrayView>> m_lines;
    };

    // [from, to), for the VEVENTs of a calendar whose VTIMEZONEs are `zones`: a zone it defines
    // itself may be offset wider than any of the database.
    IcalTextWindow(const QDateTime& from, const QDateTime& to, const QList<QByteArray>& zones = {});

    // Whether an occurrence of the VEVENT (its start, an RDATE, or a start its rules may give,
    // each lasting as its DTEND, DURATION or period says) may overlap the window.
    bool mayReach(const Lines& lines) const;
    // The same of the VEVENT of `text`.
    bool mayReach(const QByteArray& text) const;

private:
    // In seconds of UTC's wall clock (IcalRecurrence::wallSeconds).
    qint64 m_from;
    qint64 m_to;
    // How far the instant of a time of a zone may be from its wall clock read as UTC.
    qint64 m_margin;
};
