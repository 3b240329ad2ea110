#include "Platform/Calendar/IcalRuleDays.h"

#include <QList>

#include <algorithm>
#include <bitset>
#include <cstdlib>
#include <numeric>

namespace {
// Years after which the Gregorian calendar repeats itself, weekdays included.
constexpr int kTurnYears = 400;

template <std::size_t N>
QList<short> valuesOf(const short (&values)[N])
{
    QList<short> found;
    for (std::size_t i = 0; i < N && values[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
        found.append(values[i]);
    return found;
}

// A rule's count from the start (1 the first) or from the end (−1 the last) of `count` things,
// as the place from the start; 0 when there is no such place.
int place(int value, int count)
{
    const int at = value > 0 ? value : count + value + 1;
    return at >= 1 && at <= count ? at : 0;
}

bool isLeap(qint64 year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(qint64 year, int month)
{
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeap(year) ? 29 : kDays[month - 1];
}

// One day of a month, with what the rule's parts count it by.
struct Day {
    int ofMonth, inMonth, ofYear, inYear;
    int weekday;  // libical's: from Sunday (1) to Saturday (7)

    Day(qint64 year, int month)
        : ofMonth(1), inMonth(daysInMonth(year, month)),
          ofYear(int(IcalRuleDays::dayNumber(year, month, 1) - IcalRuleDays::dayNumber(year, 1, 1)) + 1),
          inYear(isLeap(year) ? 366 : 365),
          // Day 0 of the count was a Monday.
          weekday(int((IcalRuleDays::dayNumber(year, month, 1) + 1) % 7) + 1)
    {
    }
    void next()
    {
        ++ofMonth;
        ++ofYear;
        weekday = weekday % 7 + 1;
    }
};

// The rule's parts that pick days, and what it takes from its start.
class Picker {
public:
    Picker(const icalrecurrencetype& rule, icaltimetype start)
        : m_yearly(rule.freq == ICAL_YEARLY_RECURRENCE), m_months(valuesOf(rule.by_month)),
          m_monthDays(valuesOf(rule.by_month_day)), m_weekdays(valuesOf(rule.by_day)),
          m_yearDays(valuesOf(rule.by_year_day)), m_setPositions(valuesOf(rule.by_set_pos)), m_start(start),
          m_yearMonths(yearMonths())
    {
    }

    // Whether the month (the year, for a yearly rule) holds a day.
    bool holdsADay(qint64 year, int month, qint64& looked) const
    {
        int days = 0;
        for (const int inPeriod : m_yearly ? m_yearMonths : QList<int>{month}) {
            if (!m_months.isEmpty() && !m_months.contains(inPeriod))
                continue;
            Day day(year, inPeriod);
            looked += day.inMonth;
            for (; day.ofMonth <= day.inMonth; day.next())
                days += picks(day);
        }
        if (m_setPositions.isEmpty())
            return days > 0;
        return std::any_of(m_setPositions.begin(), m_setPositions.end(),
                           [&](short position) { return place(position, days) != 0; });
    }

private:
    // The months of a yearly rule's year that can hold a day: its BYMONTH, else every month
    // when it picks days of the year, else the month of its start.
    QList<int> yearMonths() const
    {
        const bool ofTheYear =
            !m_months.isEmpty() || !m_yearDays.isEmpty() || (m_monthDays.isEmpty() && !m_weekdays.isEmpty());
        if (!ofTheYear)
            return {m_start.month};
        QList<int> all;
        for (int month = 1; month <= 12; ++month)
            all.append(month);
        return all;
    }

    bool picks(const Day& day) const
    {
        if (!m_yearDays.isEmpty() && !matches(m_yearDays, day.ofYear, day.inYear))
            return false;
        if (!m_monthDays.isEmpty() && !matches(m_monthDays, day.ofMonth, day.inMonth))
            return false;
        if (!m_weekdays.isEmpty())
            return onWeekday(day);
        return !m_yearDays.isEmpty() || !m_monthDays.isEmpty() || day.ofMonth == m_start.day;
    }

    static bool matches(const QList<short>& values, int at, int count)
    {
        return std::any_of(values.begin(), values.end(), [&](short value) { return place(value, count) == at; });
    }

    // One of BYDAY's weekdays, as the n-th of its month (of its year, for a yearly rule
    // without BYMONTH) when it is numbered.
    bool onWeekday(const Day& day) const
    {
        const bool inYear = m_yearly && m_months.isEmpty();
        const int at = inYear ? day.ofYear : day.ofMonth;
        const int count = inYear ? day.inYear : day.inMonth;
        return std::any_of(m_weekdays.begin(), m_weekdays.end(), [&](short value) {
            const int nth = icalrecurrencetype_day_position(value);
            return int(icalrecurrencetype_day_day_of_week(value)) == day.weekday &&
                   (nth == 0 || (nth > 0 ? (at - 1) / 7 + 1 == nth : (count - at) / 7 + 1 == -nth));
        });
    }

    const bool m_yearly;
    const QList<short> m_months, m_monthDays, m_weekdays, m_yearDays, m_setPositions;
    const icaltimetype m_start;
    const QList<int> m_yearMonths;
};
}  // namespace

namespace IcalRuleDays {

qint64 dayNumber(qint64 year, int month, int day)
{
    // Counted from March, so that a leap day ends its year.
    const int beforeMarch = month <= 2;
    const qint64 y = year + 4800 - beforeMarch;
    const int m = month + 12 * beforeMarch - 3;
    return day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045;
}

std::optional<bool> fallsOnADay(const icalrecurrencetype& rule, icaltimetype start, qint64 most, qint64& looked)
{
    if (start.month < 1 || start.month > 12)
        return false;
    const Picker picker(rule, start);
    const bool yearly = rule.freq == ICAL_YEARLY_RECURRENCE;
    const qint64 step = std::max<int>(rule.interval, 1);
    // The periods the rule visits repeat once a turn of the calendar has gone by.
    const qint64 turn = yearly ? kTurnYears : 12 * kTurnYears;
    const qint64 periods = turn / std::gcd(step, turn);
    const qint64 first = yearly ? start.year : start.year * 12LL + start.month - 1;
    // A month's days, and what a rule picks of them, follow from the month, whether its year
    // is a leap year and the weekday the year starts on: a month (year) of a kind looked at
    // once need not be looked at again.
    std::bitset<2 * 7 * 13> kinds;
    for (qint64 k = 0; k < periods; ++k) {
        const qint64 at = first + k * step;
        const qint64 year = yearly ? at : at / 12;
        const int month = yearly ? 0 : int(at % 12) + 1;
        const std::size_t kind =
            (std::size_t(isLeap(year)) * 7 + std::size_t((IcalRuleDays::dayNumber(year, 1, 1) + 1) % 7)) * 13 + month;
        if (kinds.test(kind))
            continue;
        kinds.set(kind);
        if (picker.holdsADay(year, std::max(month, 1), looked))
            return true;
        if (looked > most)
            return std::nullopt;
    }
    return false;
}

bool expandsWeeks(const icalrecurrencetype& rule)
{
    const QList<short> weeks = valuesOf(rule.by_week_no);
    const QList<short> weekdays = valuesOf(rule.by_day);
    return rule.freq == ICAL_YEARLY_RECURRENCE && rule.week_start == ICAL_MONDAY_WEEKDAY && !weeks.isEmpty() &&
           std::all_of(weeks.begin(), weeks.end(),
                       [](short week) { return std::abs(week) >= 2 && std::abs(week) <= 51; }) &&
           !weekdays.isEmpty() &&
           std::all_of(weekdays.begin(), weekdays.end(),
                       [](short day) { return icalrecurrencetype_day_position(day) == 0; }) &&
           valuesOf(rule.by_month).isEmpty() && valuesOf(rule.by_month_day).isEmpty() &&
           valuesOf(rule.by_year_day).isEmpty() && valuesOf(rule.by_set_pos).isEmpty();
}

}  // namespace IcalRuleDays
