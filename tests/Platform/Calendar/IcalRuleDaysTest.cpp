#include "Platform/Calendar/IcalRuleDays.h"

#include "Common/QtPrinters.h"

#include <QDate>

#include <gtest/gtest.h>

#include <algorithm>

// Whether a rule by months or years has a day, as libical reads its parts: a rule without one
// is never handed to libical, which would look for it until the year 20000. Where the rule has
// days, libical's own walk from the start finds one after it.
TEST(IcalRuleDays, ARuleFallsOnADayAsLibicalReadsIt)
{
    const struct {
        const char* rule;
        const char* start;
        bool falls;
    } cases[] = {
        {"FREQ=MONTHLY;BYMONTH=2;BYMONTHDAY=30", "20250130T090000", false},
        {"FREQ=MONTHLY;BYMONTH=2;BYMONTHDAY=29", "20250130T090000", true},
        {"FREQ=MONTHLY;BYMONTH=4,6,9,11;BYMONTHDAY=31", "20250130T090000", false},
        {"FREQ=MONTHLY;BYMONTH=2;BYMONTHDAY=-30", "20250130T090000", false},
        // Only in a leap February that starts on a Monday.
        {"FREQ=MONTHLY;BYMONTH=2;BYDAY=5MO", "20250130T090000", true},
        {"FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1", "20250130T090000", true},
        // BYSETPOS counts days: no month has six Mondays, whatever the hours.
        {"FREQ=MONTHLY;BYDAY=MO;BYHOUR=9,10;BYSETPOS=6", "20250130T090000", false},
        // BYMONTHDAY limited by a numbered BYDAY: the second Monday is never in the first week.
        {"FREQ=MONTHLY;BYMONTHDAY=1,2,3,4,5,6,7;BYDAY=2MO", "20250130T090000", false},
        {"FREQ=MONTHLY;BYMONTHDAY=8,9,10;BYDAY=2MO", "20250130T090000", true},
        // Its INTERVAL visits only Januaries, or the months after February two by two.
        {"FREQ=MONTHLY;INTERVAL=12;BYMONTH=2", "20250115T090000", false},
        {"FREQ=MONTHLY;INTERVAL=2;BYMONTHDAY=31", "20250215T090000", true},
        {"FREQ=MONTHLY;INTERVAL=12", "20250430T090000", true},
        {"FREQ=MONTHLY;INTERVAL=12;BYMONTHDAY=31", "20250430T090000", false},
        // A yearly BYMONTHDAY without BYMONTH is in the month of the start.
        {"FREQ=YEARLY;BYMONTHDAY=30", "20250215T090000", false},
        {"FREQ=YEARLY;BYMONTHDAY=30", "20250315T090000", true},
        {"FREQ=YEARLY", "20240229T090000", true},
        {"FREQ=YEARLY;BYYEARDAY=366", "20250101T090000", true},
        {"FREQ=YEARLY;INTERVAL=4;BYYEARDAY=-366", "20250101T090000", false},
        // Numbered weekdays count in the year, or in the month with BYMONTH.
        {"FREQ=YEARLY;BYDAY=53MO", "20250101T090000", true},
        {"FREQ=YEARLY;BYDAY=-53SA;BYMONTHDAY=1,2,3,4,5,6,7", "20250101T090000", true},
        {"FREQ=YEARLY;BYMONTH=2;BYDAY=5SU", "20250101T090000", true},
        {"FREQ=YEARLY;BYMONTH=2;BYDAY=-5SU;BYMONTHDAY=2", "20250101T090000", false},
        {"FREQ=YEARLY;BYMONTH=3;BYDAY=SU;BYSETPOS=-1", "20250101T090000", true},
        // The fourth Thursday of November.
        {"FREQ=YEARLY;BYMONTH=11;BYDAY=4TH", "20250101T090000", true},
        {"FREQ=YEARLY;BYMONTH=11;BYDAY=5TH;BYMONTHDAY=1,2,3,4,5,6,7", "20250101T090000", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        const icalrecurrencetype rule = icalrecurrencetype_from_string(c.rule);
        ASSERT_NE(rule.freq, ICAL_NO_RECURRENCE);
        const icaltimetype start = icaltime_from_string(c.start);
        qint64 looked = 0;
        EXPECT_EQ(IcalRuleDays::fallsOnADay(rule, start, 1 << 30, looked), c.falls);
        // Finding out stops once it has looked at more days than it may.
        qint64 some = 0;
        const std::optional<bool> cut = IcalRuleDays::fallsOnADay(rule, start, 100, some);
        EXPECT_TRUE(cut == c.falls || (!cut && some <= 100 + 366)) << some;
        if (!c.falls)
            continue;
        icalrecur_iterator* iterator = icalrecur_iterator_new(rule, start);
        ASSERT_NE(iterator, nullptr);
        icaltimetype at = icalrecur_iterator_next(iterator);
        if (icaltime_compare(at, start) == 0)
            at = icalrecur_iterator_next(iterator);
        EXPECT_FALSE(icaltime_is_null_time(at));
        icalrecur_iterator_free(iterator);
    }
}

// libical's days of a yearly rule by week numbers, beside the weeks as ISO 8601 counts them
// (Monday first; week 1 holds the year's first Thursday): only the forms it places right
// are expanded; the others are named as not worked out.
TEST(IcalRuleDays, WeeksAreExpandedOnlyWhereLibicalPlacesTheirDaysRight)
{
    const struct {
        const char* rule;
        bool expands;
    } cases[] = {
        {"FREQ=YEARLY;BYWEEKNO=20;BYDAY=MO", true},
        {"FREQ=YEARLY;BYWEEKNO=2,51,-2,-51;BYDAY=SU,WE", true},
        {"FREQ=YEARLY;INTERVAL=3;BYWEEKNO=-10,33;BYDAY=FR;BYHOUR=8,17", true},
        {"FREQ=YEARLY;BYWEEKNO=20;BYDAY=MO;WKST=MO", true},
        // It puts days of the first and the last weeks into the wrong year, or leaves them out.
        {"FREQ=YEARLY;BYWEEKNO=1;BYDAY=MO", false},
        {"FREQ=YEARLY;BYWEEKNO=52;BYDAY=TH", false},
        {"FREQ=YEARLY;BYWEEKNO=53;BYDAY=MO", false},
        {"FREQ=YEARLY;BYWEEKNO=-1;BYDAY=MO", false},
        {"FREQ=YEARLY;BYWEEKNO=20;BYDAY=MO;WKST=SU", false},
        {"FREQ=YEARLY;BYWEEKNO=2;BYDAY=SU;BYMONTH=1", false},
        {"FREQ=YEARLY;BYWEEKNO=20", false},
        {"FREQ=YEARLY;BYWEEKNO=20;BYDAY=1MO", false},
        {"FREQ=YEARLY;BYWEEKNO=20;BYDAY=MO;BYSETPOS=1", false},
        {"FREQ=MONTHLY;BYWEEKNO=20;BYDAY=MO", false},
    };
    const QDate first(1997, 1, 1), last(2030, 12, 31);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        const icalrecurrencetype rule = icalrecurrencetype_from_string(c.rule);
        ASSERT_NE(rule.freq, ICAL_NO_RECURRENCE);
        EXPECT_EQ(IcalRuleDays::expandsWeeks(rule), c.expands);
        if (!c.expands)
            continue;
        QList<QDate> expected;
        const QList<QByteArray> parts = QByteArray(c.rule).split(';');
        const auto listed = [&](const char* name) {
            for (const QByteArray& part : parts)
                if (part.startsWith(QByteArray(name) + '='))
                    return part.mid(qstrlen(name) + 1).split(',');
            return QList<QByteArray>();
        };
        const QList<QByteArray> weeks = listed("BYWEEKNO"), days = listed("BYDAY"), every = listed("INTERVAL");
        const int interval = every.isEmpty() ? 1 : every.first().toInt();
        static const QByteArray kDays[] = {"MO", "TU", "WE", "TH", "FR", "SA", "SU"};
        for (QDate day = first; day <= last; day = day.addDays(1)) {
            int year = 0;
            const int week = day.weekNumber(&year);
            const int weeksInYear = QDate(year, 12, 28).weekNumber();
            const bool inWeek = std::any_of(weeks.begin(), weeks.end(), [&](const QByteArray& n) {
                return n.toInt() == week || n.toInt() == week - weeksInYear - 1;
            });
            if (inWeek && days.contains(kDays[day.dayOfWeek() - 1]) && (year - first.year()) % interval == 0)
                expected.append(day);
        }
        icaltimetype start = icaltime_null_time();
        start.year = first.year(), start.month = 1, start.day = 1, start.hour = 8;
        icalrecur_iterator* iterator = icalrecur_iterator_new(rule, start);
        ASSERT_NE(iterator, nullptr);
        QList<QDate> given;
        for (icaltimetype at = icalrecur_iterator_next(iterator); !icaltime_is_null_time(at);
             at = icalrecur_iterator_next(iterator)) {
            const QDate day(at.year, at.month, at.day);
            if (day > last)
                break;
            if (given.isEmpty() || given.last() != day)
                given.append(day);
        }
        icalrecur_iterator_free(iterator);
        // libical gives its start first, whatever the rule.
        if (!expected.contains(first))
            given.removeAll(first);
        EXPECT_EQ(given, expected);
    }
}
