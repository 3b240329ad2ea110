#include "Platform/Calendar/IcalTextWindow.h"

#include "Platform/Calendar/IcalContentLine.h"
#include "Platform/Calendar/IcalOwnLines.h"
#include "Platform/Calendar/IcalRecurrence.h"
#include "Platform/Calendar/IcalSplitter.h"

#include <libical/ical.h>

#include <algorithm>
#include <limits>
#include <optional>

namespace {
constexpr qint64 kDaySeconds = 86400;

// The seconds of UTC's wall clock at an instant.
qint64 wallOf(const QDateTime& at)
{
    static const qint64 epoch =
        IcalRecurrence::wallSeconds(icaltime_from_timet_with_zone(0, 0, icaltimezone_get_utc_timezone()));
    return epoch + at.toSecsSinceEpoch();
}

// What a line's parameters say of its value: whether it is of a zone (a TZID), and its VALUE
// in upper case and unquoted, when it has one.
struct Form {
    bool zoned = false;
    std::optional<QByteArray> value;
};

Form formOf(const QByteArray& params)
{
    Form form;
    if (params.isEmpty())
        return form;
    const QByteArray zone = IcalContentLine::only(params, {"TZID"});
    form.zoned = !zone.isEmpty();
    // Most times of a zone have no other parameter.
    if (zone.size() == params.size())
        return form;
    const QByteArray value = IcalContentLine::only(params, {"VALUE"});
    if (value.isEmpty())
        return form;
    QByteArray written = value.mid(value.indexOf('=') + 1).trimmed();
    if (written.size() >= 2 && written.startsWith('"') && written.endsWith('"'))
        written = written.mid(1, written.size() - 2);
    form.value = written.toUpper();
    return form;
}

// An offset from UTC as a VTIMEZONE writes it ("+0900", "-033000"), in seconds, whichever way;
// a day for one it cannot read, wider than any.
qint64 offsetOf(const QByteArray& value)
{
    const QByteArray digits = value.mid(1);
    const bool number = std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!number || (!value.startsWith('+') && !value.startsWith('-')) || (digits.size() != 4 && digits.size() != 6))
        return kDaySeconds;
    const int hhmmss = digits.toInt();
    const int hhmm = digits.size() == 6 ? hhmmss / 100 : hhmmss;
    return hhmm / 100 * 3600 + hhmm % 100 * 60 + (digits.size() == 6 ? hhmmss % 100 : 0);
}

// The widest offset any of the VTIMEZONEs' rules give, in seconds.
qint64 widestOffsetOf(const QList<QByteArray>& zones)
{
    qint64 widest = 0;
    for (const QByteArray& zone : zones) {
        for (qsizetype begin = 0; begin < zone.size();) {
            const qsizetype end = std::min(IcalContentLine::lineEnd(zone, begin) + 1, zone.size());
            const QByteArray line = zone.mid(begin, end - begin);
            begin = end;
            const QByteArray name = IcalSplitter::nameOf(line);
            if (name == "TZOFFSETFROM" || name == "TZOFFSETTO")
                widest = std::max(widest, offsetOf(IcalContentLine::split(IcalOwnLines::unfolded(line)).value));
        }
    }
    return widest;
}

// A time as a line writes it: the wall clock it shows, in seconds, and how far its instant may
// be from that wall clock read as UTC.
struct Written {
    icaltimetype time;
    qint64 wall;
    qint64 margin;
};

// The time as placed by a line of a zone or not; nothing for one that is no day or time of the
// calendar, which libical may take but no zone turns into an instant.
std::optional<Written> placed(icaltimetype time, bool zoned, qint64 margin)
{
    if (icaltime_is_null_time(time) || time.year < 1 || !QDate::isValid(time.year, time.month, time.day) ||
        !QTime::isValid(time.hour, time.minute, time.second))
        return std::nullopt;
    // Only a time in UTC is an instant; floating times and dates are of local time.
    const bool utc = icaltime_is_utc(time) && !zoned;
    return Written{time, IcalRecurrence::wallSeconds(time), utc ? 0 : margin};
}

// A date ("20260105") or a time ("20260105T090000", in UTC with a "Z") as libical reads its
// digits; nothing for any other form, whose reading would not be sure.
std::optional<icaltimetype> timeWritten(QByteArrayView value)
{
    const bool utc = value.size() == 16 && value.back() == 'Z';
    if (value.size() != 8 && value.size() != 15 && !utc)
        return std::nullopt;
    bool digits = value.size() == 8 || value.at(8) == 'T';
    const auto number = [&](qsizetype at, qsizetype count) {
        int read = 0;
        for (qsizetype i = at; i < at + count; ++i) {
            digits = digits && value.at(i) >= '0' && value.at(i) <= '9';
            read = read * 10 + (value.at(i) - '0');
        }
        return read;
    };
    icaltimetype time = icaltime_null_time();
    time.year = number(0, 4);
    time.month = number(4, 2);
    time.day = number(6, 2);
    time.is_date = value.size() == 8;
    if (!time.is_date) {
        time.hour = number(9, 2);
        time.minute = number(11, 2);
        time.second = number(13, 2);
    }
    if (utc)
        time.zone = icaltimezone_get_utc_timezone();
    return digits ? std::optional(time) : std::nullopt;
}

// A time value of a line, when it is of the form its VALUE says.
std::optional<Written> timeOf(QByteArrayView value, const Form& form, qint64 margin)
{
    const std::optional<icaltimetype> time = timeWritten(value);
    if (!time || (form.value && *form.value != (time->is_date ? "DATE" : "DATE-TIME")))
        return std::nullopt;
    return placed(*time, form.zoned, margin);
}

}  // namespace

void IcalTextWindow::Lines::take(QByteArrayView line, const QByteArray& name)
{
    if (name == "DTSTART")
        m_lines.append({start, line});
    else if (name == "DTEND")
        m_lines.append({end, line});
    else if (name == "DURATION")
        m_lines.append({duration, line});
    else if (name == "RRULE")
        m_lines.append({rule, line});
    else if (name == "RDATE")
        m_lines.append({date, line});
}

IcalTextWindow::IcalTextWindow(const QDateTime& from, const QDateTime& to, const QList<QByteArray>& zones)
    : m_from(wallOf(from)), m_to(wallOf(to)), m_margin(std::max(kWidestOffsetSeconds, widestOffsetOf(zones)))
{
}

bool IcalTextWindow::mayReach(const QByteArray& text) const
{
    Lines lines;
    IcalOwnLines::forEach(text, [&](QByteArrayView line, const QByteArray& name) { lines.take(line, name); });
    return mayReach(lines);
}

bool IcalTextWindow::mayReach(const Lines& lines) const
{
    std::optional<Written> start, end;
    std::optional<qint64> length;
    int starts = 0, ends = 0;
    QList<QByteArray> rules;
    QList<std::pair<Form, QByteArray>> dates;
    for (const auto& [kind, line] : lines.m_lines) {
        const IcalContentLine::Parts parts = IcalContentLine::split(IcalOwnLines::unfolded(line));
        const Form form = formOf(parts.params);
        if (kind == Lines::start || kind == Lines::end) {
            std::optional<Written>& read = kind == Lines::start ? start : end;
            read = timeOf(parts.value, form, m_margin);
            if (!read)
                return true;
            ++(kind == Lines::start ? starts : ends);
        } else if (kind == Lines::duration) {
            const icaldurationtype read = icaldurationtype_from_string(parts.value.constData());
            if (icaldurationtype_is_bad_duration(read))
                return true;
            length = icaldurationtype_as_int(read);
            ++ends;
        } else if (kind == Lines::rule) {
            rules.append(parts.value);
        } else {
            dates.append({form, parts.value});
        }
    }
    if (starts != 1 || ends > 1)
        return true;
    // Without DTEND or DURATION an event ends as it starts, a date at the end of its day.
    const qint64 endWall = end ? end->wall : start->wall + length.value_or(start->time.is_date ? kDaySeconds : 0);
    const qint64 endMargin = end ? end->margin : start->margin;
    // An occurrence from the earliest its start may be to the latest its end may be (one that
    // ends before it starts counts where it starts).
    const auto overlaps = [&](qint64 earliest, qint64 latestEnd) { return earliest < m_to && latestEnd >= m_from; };
    if (overlaps(start->wall - start->margin, std::max(endWall + endMargin, start->wall + start->margin)))
        return true;
    // How long after its start's wall clock another occurrence may last, to the latest its end
    // may be: what the event lasts from instant to instant, either end anywhere within its margin.
    const qint64 lasting = std::max<qint64>(0, endWall - start->wall) + 2 * start->margin + endMargin;
    for (const auto& [form, values] : dates) {
        for (const QByteArray& value : values.split(',')) {
            if (form.value != "PERIOD" && !value.contains('/')) {
                const std::optional<Written> at = timeOf(value, form, m_margin);
                if (!at || overlaps(at->wall - at->margin, at->wall + at->margin + lasting))
                    return true;
                continue;
            }
            // A period ends on its own, at its end or after its duration.
            const icalperiodtype period = icalperiodtype_from_string(value.constData());
            const bool timed = !icaltime_is_null_time(period.end);
            const std::optional<Written> from = placed(period.start, form.zoned, m_margin);
            const std::optional<Written> to = timed ? placed(period.end, form.zoned, m_margin) : from;
            if (!from || !to)
                return true;
            const qint64 duration = timed ? 0 : std::max(0, icaldurationtype_as_int(period.duration));
            if (overlaps(from->wall - from->margin, to->wall + to->margin + duration))
                return true;
        }
    }
    for (const QByteArray& value : rules) {
        // A rule of another calendar (RSCALE) is not read here.
        if (value.toUpper().contains("RSCALE"))
            return true;
        const icalrecurrencetype rule = icalrecurrencetype_from_string(value.constData());
        if (rule.freq == ICAL_NO_RECURRENCE)
            return true;
        // Its starts are from DTSTART on, before the second its UNTIL or COUNT ends them, if any.
        const std::optional<qint64> before = IcalRecurrence::startsBefore(rule, start->time);
        if (overlaps(start->wall - start->margin, before ? *before + lasting : std::numeric_limits<qint64>::max()))
            return true;
    }
    return false;
}
