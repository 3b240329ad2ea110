#include "Platform/Calendar/IcalRecurrence.h"

#include "Platform/Calendar/IcalRuleDays.h"
#include "Platform/Calendar/IcalTree.h"
#include "Platform/Calendar/IcalZone.h"
#include "Skills/CalendarEvent.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <optional>
#include <utility>

#include <time.h>

namespace {
using IcalRecurrence::wallSeconds;
using IcalTree::properties;

// libical looks for a rule's next occurrence period by period and without end (a rule of
// seconds that matches only on 29 February takes minutes to answer), so a rule is walked in
// slices of this many periods, each ended by its own UNTIL and charged as walked, beside the
// occurrences it gives.
constexpr qint64 kSlicePeriods = 1000;
// Where the clocks go back, an hour of wall-clock times comes twice and is read as its second
// coming: a walk starts this much before the window's wall-clock start.
constexpr qint64 kZoneShiftSeconds = 3600;
// Looking at the days of a rule by months or years costs a small part of what libical spends
// on one of its periods: this many days cost one step.
constexpr qint64 kDaysLookedPerStep = 512;

struct IteratorFree {
    void operator()(icalrecur_iterator* iterator) const { icalrecur_iterator_free(iterator); }
};
using Iterator = std::unique_ptr<icalrecur_iterator, IteratorFree>;

// One period of a rule that repeats by seconds to weeks, in seconds of its wall clock; 0 for
// months and years, which have no fixed length.
qint64 periodOf(const icalrecurrencetype& rule)
{
    qint64 unit = 0;
    switch (rule.freq) {
    case ICAL_SECONDLY_RECURRENCE:
        unit = 1;
        break;
    case ICAL_MINUTELY_RECURRENCE:
        unit = 60;
        break;
    case ICAL_HOURLY_RECURRENCE:
        unit = 3600;
        break;
    case ICAL_DAILY_RECURRENCE:
        unit = 86400;
        break;
    case ICAL_WEEKLY_RECURRENCE:
        unit = 7 * 86400;
        break;
    default:
        return 0;
    }
    return unit * std::max<qint64>(rule.interval, 1);
}

// The month or year, counted in the rule's INTERVAL, of a time of a rule by months or years.
qint64 calendarPeriodOf(const icalrecurrencetype& rule, icaltimetype time)
{
    const qint64 index = rule.freq == ICAL_YEARLY_RECURRENCE ? time.year : time.year * 12LL + time.month - 1;
    return index / std::max<qint64>(rule.interval, 1);
}

icaltimetype later(icaltimetype time, qint64 seconds)
{
    icaltime_adjust(&time, int(seconds / 86400), 0, 0, int(seconds % 86400));
    return time;
}

// For a rule whose every period is sure to hold an occurrence, the wall-clock second before
// which its COUNT-th starts: after the period of DTSTART (which may hold none after it) and
// COUNT more. Such rules repeat by seconds to weeks with BY-parts that only add times within a
// period (weekdays without ordinals in a week, hours in a day, minutes in an hour, seconds in
// a minute), or by months or years without BY-parts from a day every month has. Nothing for
// others, whose periods may be empty (the 31st of a month, a day in a month of BYMONTH).
std::optional<qint64> countedEnd(const icalrecurrencetype& rule, icaltimetype start)
{
    const auto given = [](const short* values) { return values[0] != ICAL_RECURRENCE_ARRAY_MAX; };
    if (rule.count <= 0 || (rule.rscale && *rule.rscale) || given(rule.by_set_pos) || given(rule.by_month) ||
        given(rule.by_month_day) || given(rule.by_year_day) || given(rule.by_week_no))
        return std::nullopt;
    const qint64 periods = qint64(rule.count) + 1;
    if (const qint64 period = periodOf(rule)) {
        bool ordinal = false;
        for (int i = 0; i < ICAL_BY_DAY_SIZE && given(rule.by_day + i); ++i)
            ordinal = ordinal || icalrecurrencetype_day_position(rule.by_day[i]) != 0;
        // A part of a unit as long as the rule's period or longer picks among periods.
        const bool sure = (!given(rule.by_day) || (rule.freq == ICAL_WEEKLY_RECURRENCE && !ordinal)) &&
                          (!given(rule.by_hour) || rule.freq > ICAL_HOURLY_RECURRENCE) &&
                          (!given(rule.by_minute) || rule.freq > ICAL_MINUTELY_RECURRENCE) &&
                          (!given(rule.by_second) || rule.freq > ICAL_SECONDLY_RECURRENCE);
        return sure ? std::optional<qint64>(wallSeconds(start) + periods * period) : std::nullopt;
    }
    if ((rule.freq != ICAL_MONTHLY_RECURRENCE && rule.freq != ICAL_YEARLY_RECURRENCE) || given(rule.by_day) ||
        given(rule.by_hour) || given(rule.by_minute) || given(rule.by_second) || start.day > 28)
        return std::nullopt;
    const qint64 month = start.year * 12LL + start.month - 1 +
                         periods * std::max<qint64>(rule.interval, 1) * (rule.freq == ICAL_YEARLY_RECURRENCE ? 12 : 1);
    const qint64 days = IcalRuleDays::dayNumber(month / 12, int(month % 12) + 1, start.day) -
                        IcalRuleDays::dayNumber(start.year, start.month, start.day);
    return wallSeconds(start) + days * 86400;
}

// A window as the wall clock of a series' DTSTART sees it, and what of the series may reach it.
class SeriesWindow {
public:
    SeriesWindow(icalcomponent* master, const IcalRecurrence::Span& span, const QDateTime& from, const QDateTime& to)
        : m_start(icalcomponent_get_dtstart(master)),
          m_zone(icalcomponent_get_first_property(master, ICAL_DTSTART_PROPERTY), m_start), m_span(span), m_from(from),
          m_to(to)
    {
        // A date ends after the day `to` falls on, which may start an occurrence before `to`.
        m_end = m_zone.toIcal(m_start.is_date ? to.addDays(1) : to, m_start.is_date);
        m_end.zone = m_start.zone;
        const qint64 longest = m_span.days >= 0 ? (m_span.days + 1) * 86400 : m_span.seconds;
        m_earliest = wallSeconds(m_zone.toIcal(m_from.addSecs(-longest - kZoneShiftSeconds), m_start.is_date));
    }

    // The series' DTSTART and RDATEs, each with the end of its own period (invalid where the
    // series' span decides).
    QList<std::pair<QDateTime, QDateTime>> dates(icalcomponent* master) const
    {
        QList<std::pair<QDateTime, QDateTime>> found{{m_zone.toDateTime(m_start), {}}};
        for (icalproperty* rdate : properties(master, ICAL_RDATE_PROPERTY)) {
            const icaldatetimeperiodtype value = icalproperty_get_rdate(rdate);
            if (!icaltime_is_null_time(value.time)) {
                found.append({IcalZone(rdate, value.time).toDateTime(value.time), {}});
                continue;
            }
            // A period ends on its own, at its end or after its duration.
            const IcalZone zone(rdate, value.period.start);
            const QDateTime start = zone.toDateTime(value.period.start);
            found.append({start, icaltime_is_null_time(value.period.end)
                                     ? start.addSecs(icaldurationtype_as_int(value.period.duration))
                                     : zone.toDateTime(value.period.end)});
        }
        return found;
    }

    // Whether the occurrence at `at`, ending at `end` or as the series' span says, overlaps
    // the window.
    bool overlaps(const QDateTime& at, const QDateTime& end) const
    {
        return at.isValid() &&
               CalendarEvent{{}, at, end.isValid() ? end : m_span.endOf(at), {}, {}, {}}.overlaps(m_from, m_to);
    }

    // Whether the rule may give an occurrence that reaches the window: not when it starts after
    // the window, nor when its UNTIL, or its COUNT where that is sure, ends it before.
    bool reaches(const icalrecurrencetype& rule) const
    {
        if (wallSeconds(m_start) >= wallSeconds(m_end))
            return false;
        const std::optional<qint64> before = IcalRecurrence::startsBefore(rule, m_start);
        return !before || *before > m_earliest;
    }

protected:
    const icaltimetype m_start;
    const IcalZone m_zone;
    const IcalRecurrence::Span m_span;
    const QDateTime m_from;
    const QDateTime m_to;
    icaltimetype m_end;  // the window's end in the wall clock of DTSTART
    qint64 m_earliest;  // in seconds of that wall clock, before which no occurrence reaches the window
};

// One series expanded over one window.
class SeriesWalk : SeriesWindow {
public:
    SeriesWalk(icalcomponent* master, const QSet<qint64>& excluded, const IcalRecurrence::Span& span,
               const QDateTime& from, const QDateTime& to, IcalRecurrence::Budget& budget)
        : SeriesWindow(master, span, from, to), m_excluded(excluded), m_budget(budget),
          m_share(std::min(IcalRecurrence::kMaxPerSeries, budget.occurrences)),
          m_steps(std::min(IcalRecurrence::kMaxStepsPerSeries, budget.steps))
    {
    }

    IcalRecurrence::Starts run(icalcomponent* master)
    {
        const int stepsBefore = m_steps;
        for (const auto& [at, end] : dates(master))
            if (take(at, end) && end.isValid())
                m_ends.insert(at.toSecsSinceEpoch(), end);
        // Only the time spent walking is the question's; a rule that cannot reach the window
        // takes none.
        bool walking = false;
        for (icalproperty* rrule : properties(master, ICAL_RRULE_PROPERTY)) {
            const icalrecurrencetype rule = icalproperty_get_rrule(rrule);
            if (!reaches(rule))
                continue;
            if (!std::exchange(walking, true))
                m_budget.startWalk();
            if (!walk(rule))
                break;
        }
        if (walking)
            m_budget.endWalk();
        std::sort(m_found.begin(), m_found.end());
        m_found.erase(std::unique(m_found.begin(), m_found.end()), m_found.end());
        if (m_found.size() > m_share) {
            // Beyond its own share it repeats too often; within it, the question's ran out.
            m_cut = m_share == IcalRecurrence::kMaxPerSeries ? IcalRecurrence::Cut::repeatsTooOften
                                                             : IcalRecurrence::Cut::unfinished;
            m_found.resize(m_share);
        }
        m_budget.occurrences -= int(m_found.size());
        m_budget.steps -= stepsBefore - m_steps;
        return {m_found, m_ends, m_cut};
    }

private:
    // Takes the start when its occurrence, ending at `end` or as the series' span says,
    // overlaps the window and is not excluded.
    bool take(const QDateTime& at, const QDateTime& end = {})
    {
        if (!overlaps(at, end) || m_excluded.contains(at.toSecsSinceEpoch()))
            return false;
        m_found.append(at);
        return true;
    }

    // Spends steps of the series' and the question's; false, cutting the series, when they
    // are not there.
    bool charge(qint64 steps)
    {
        if (steps > m_steps || m_budget.outOfTime()) {
            m_cut = IcalRecurrence::Cut::unfinished;
            return false;
        }
        m_steps -= int(steps);
        return true;
    }

    // Where the walk of a rule begins: its DTSTART, or for a rule without COUNT that has a
    // fixed period, a whole number of periods later, just before the window, so the rule is
    // in step with its DTSTART and a rule of minutes begun years ago costs no more than one
    // begun today.
    icaltimetype walkStart(qint64 period, int count) const
    {
        if (!period || count > 0)
            return m_start;
        const qint64 ahead = m_earliest - wallSeconds(m_start);
        return ahead < period ? m_start : later(m_start, ahead / period * period);
    }

    // Whether the rule by months or years falls on a day after the series' start, found out
    // once a question for each rule and start (an export repeats them); nothing when the steps
    // left do not reach to find out.
    std::optional<bool> fallsOnADay(icalrecurrencetype rule)
    {
        const char* written = icalrecurrencetype_as_string(&rule);
        const QByteArray key = written ? QByteArray(written) + '@' + icaltime_as_ical_string(m_start) : QByteArray();
        if (const auto known = m_budget.fallsOnADay.constFind(key);
            !key.isEmpty() && known != m_budget.fallsOnADay.cend())
            return charge(1) ? std::optional<bool>(*known) : std::nullopt;
        qint64 looked = 0;
        const std::optional<bool> falls =
            IcalRuleDays::fallsOnADay(rule, m_start, std::max(m_steps - 1, 0) * kDaysLookedPerStep, looked);
        if (!charge(looked / kDaysLookedPerStep + 1) || !falls)
            return std::nullopt;
        if (!key.isEmpty())
            m_budget.fallsOnADay.insert(key, *falls);
        return falls;
    }

    // Walks one rule slice by slice, up to one start more than the series' share (so the
    // earliest of all its rules are kept, and a cut is known); false once its steps are spent.
    bool walk(icalrecurrencetype rule)
    {
        const qint64 period = periodOf(rule);
        if (!period) {
            // libical looks for the next month or year with a day of the rule up to the year
            // 20000 whatever its UNTIL: a rule without any is not handed to it, nor a yearly one
            // by week numbers of a form it gets wrong (the series is cut). Finding out is
            // charged as it goes, never past what is left.
            if (rule.by_week_no[0] != ICAL_RECURRENCE_ARRAY_MAX) {
                if (!IcalRuleDays::expandsWeeks(rule)) {
                    m_cut = IcalRecurrence::Cut::unfinished;
                    return true;
                }
            } else {
                const std::optional<bool> falls = fallsOnADay(rule);
                if (!falls) {
                    m_cut = IcalRecurrence::Cut::unfinished;
                    return false;
                }
                if (!*falls)
                    return true;
            }
        }
        // Counted here, since each slice starts an iterator of its own.
        const int count = rule.count;
        rule.count = 0;
        const icaltimetype until = rule.until;
        const QDateTime untilAt = icaltime_is_null_time(until) ? QDateTime() : m_zone.toDateTime(until);
        int yielded = 0;
        qsizetype taken = 0;
        for (icaltimetype slice = walkStart(period, count); wallSeconds(slice) < wallSeconds(m_end);) {
            // A slice is charged before it is walked: it takes at most half the steps left,
            // leaving the rest for the occurrences it gives.
            icaltimetype next =
                period ? later(slice, std::clamp<qint64>(m_steps / 2, 1, kSlicePeriods) * period) : m_end;
            if (wallSeconds(next) > wallSeconds(m_end))
                next = m_end;
            if (period && !charge(std::max<qint64>(1, (wallSeconds(next) - wallSeconds(slice)) / period)))
                return false;
            // Where the walk stops early, libical never went through the periods after `at`.
            const auto stopAt = [&](icaltimetype at, bool done) {
                if (period)
                    m_steps += int(std::max<qint64>(0, (wallSeconds(next) - wallSeconds(at)) / period));
                return done;
            };
            // The slice ends with its UNTIL on its last second (its last day for dates), or
            // with the rule's own UNTIL when that comes first, which also ends the walk.
            rule.until = later(next, m_start.is_date ? -86400 : -1);
            const bool lastSlice = untilAt.isValid() && untilAt <= m_zone.toDateTime(rule.until);
            if (lastSlice)
                rule.until = until;
            const Iterator iterator(icalrecur_iterator_new(rule, slice));
            if (!iterator) {
                // A rule libical refuses: its occurrences are not known.
                m_cut = IcalRecurrence::Cut::unfinished;
                return true;
            }
            icaltimetype previous = slice;
            for (icaltimetype at = icalrecur_iterator_next(iterator.get()); !icaltime_is_null_time(at);
                 at = icalrecur_iterator_next(iterator.get())) {
                // Each occurrence is a step too: a period can hold thousands (a day by its seconds).
                // libical went through every month or year since the last one.
                const qint64 steps =
                    period ? 1 : calendarPeriodOf(rule, at) - calendarPeriodOf(rule, std::exchange(previous, at));
                if (!charge(std::max<qint64>(steps, 1)))
                    return stopAt(at, false);
                if (count && ++yielded > count)
                    return stopAt(at, true);
                // Ended before the window, seen on the wall clock alone.
                if (wallSeconds(at) < m_earliest)
                    continue;
                const QDateTime start = m_zone.toDateTime(at);
                if (start >= m_to)
                    return stopAt(at, true);
                if (take(start) && ++taken > m_share)
                    return stopAt(at, true);
            }
            if (lastSlice)
                return true;
            slice = next;
        }
        return true;
    }

    const QSet<qint64>& m_excluded;
    IcalRecurrence::Budget& m_budget;
    const qsizetype m_share;
    int m_steps;
    QList<QDateTime> m_found;
    QHash<qint64, QDateTime> m_ends;
    IcalRecurrence::Cut m_cut = IcalRecurrence::Cut::none;
};
}  // namespace

namespace IcalRecurrence {

qint64 wallSeconds(icaltimetype time)
{
    return IcalRuleDays::dayNumber(time.year, time.month, time.day) * 86400 + time.hour * 3600 + time.minute * 60 +
           time.second;
}

std::optional<qint64> startsBefore(const icalrecurrencetype& rule, icaltimetype start)
{
    std::optional<qint64> before = countedEnd(rule, start);
    // An UNTIL in UTC is within a day of the wall clock; it is an occurrence's start itself.
    if (!icaltime_is_null_time(rule.until))
        before = std::min(before.value_or(std::numeric_limits<qint64>::max()), wallSeconds(rule.until) + 86400 + 1);
    return before;
}

qint64 processorTime()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

void Budget::startWalk()
{
    m_walkStart = clock();
}

void Budget::endWalk()
{
    m_spent += clock() - m_walkStart;
}

bool Budget::outOfTime()
{
    if (!m_out && m_calls++ % kCallsPerLook == 0)
        m_out = m_spent + clock() - m_walkStart > nanoseconds;
    return m_out;
}

QDateTime Span::endOf(const QDateTime& start) const
{
    // The date is the start's own, in local time, however the start was given (an id names it in UTC).
    return days >= 0 ? start.toLocalTime().date().addDays(days).startOfDay() : start.addSecs(seconds);
}

Span spanOf(icalcomponent* master, const CalendarEvent& series)
{
    const icaltimetype start = icalcomponent_get_dtstart(master), end = icalcomponent_get_dtend(master);
    if (start.is_date && end.is_date && !icaltime_is_null_time(end))
        return {0, QDate(start.year, start.month, start.day).daysTo(QDate(end.year, end.month, end.day))};
    return {series.start.secsTo(series.end)};
}

bool isRecurring(icalcomponent* vevent)
{
    return icalcomponent_get_first_property(vevent, ICAL_RRULE_PROPERTY) ||
           icalcomponent_get_first_property(vevent, ICAL_RDATE_PROPERTY);
}

QSet<qint64> excluded(icalcomponent* master)
{
    QSet<qint64> instants;
    for (icalproperty* exdate : properties(master, ICAL_EXDATE_PROPERTY)) {
        const icaltimetype at = icalproperty_get_exdate(exdate);
        instants.insert(IcalZone(exdate, at).toDateTime(at).toSecsSinceEpoch());
    }
    return instants;
}

bool mayReach(icalcomponent* master, const Span& span, const QDateTime& from, const QDateTime& to)
{
    const SeriesWindow window(master, span, from, to);
    for (const auto& [at, end] : window.dates(master))
        if (window.overlaps(at, end))
            return true;
    for (icalproperty* rrule : properties(master, ICAL_RRULE_PROPERTY))
        if (window.reaches(icalproperty_get_rrule(rrule)))
            return true;
    return false;
}

Starts between(icalcomponent* master, const QSet<qint64>& excluded, const Span& span, const QDateTime& from,
               const QDateTime& to, Budget& budget)
{
    budget.steps += kStepsPerSeries;
    budget.nanoseconds += kNanosecondsPerSeries;
    return SeriesWalk(master, excluded, span, from, to, budget).run(master);
}

}  // namespace IcalRecurrence
