#include "Platform/IcalRuleDays.h"

#include <gtest/gtest.h>

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
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        const icalrecurrencetype rule = icalrecurrencetype_from_string(c.rule);
        ASSERT_NE(rule.freq, ICAL_NO_RECURRENCE);
        const icaltimetype start = icaltime_from_string(c.start);
        qint64 looked = 0;
        EXPECT_EQ(IcalRuleDays::fallsOnADay(rule, start, looked), c.falls);
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
