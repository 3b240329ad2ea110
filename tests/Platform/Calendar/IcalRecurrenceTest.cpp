#include "Platform/Calendar/IcalRecurrence.h"

#include "Common/QtPrinters.h"
#include "Common/ScopedTimeZone.h"
#include "Platform/Calendar/IcalTree.h"
#include "Platform/Calendar/IcalZone.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace {
QDateTime seoul(int month, int day, int hour = 0, int minute = 0)
{
    return QDateTime(QDate(2026, month, day), QTime(hour, minute));
}

IcalTree::Owned parse(const QByteArray& lines)
{
    return IcalTree::Owned(icalparser_parse_string(
        QByteArray("BEGIN:VCALENDAR\nVERSION:2.0\nBEGIN:VEVENT\nUID:s\n" + lines + "END:VEVENT\nEND:VCALENDAR\n")
            .constData()));
}

// What a plain walk of every rule from DTSTART gives, with DTSTART, RDATEs and EXDATEs: slow
// for a rule begun long ago, so the cases begin theirs within weeks of the window.
QList<QDateTime> reference(icalcomponent* vevent, qint64 length, const QDateTime& from, const QDateTime& to)
{
    const icaltimetype start = icalcomponent_get_dtstart(vevent);
    const IcalZone zone(icalcomponent_get_first_property(vevent, ICAL_DTSTART_PROPERTY), start);
    QList<QDateTime> starts{zone.toDateTime(start)};
    for (icalproperty* rdate : IcalTree::properties(vevent, ICAL_RDATE_PROPERTY)) {
        const icaltimetype at = icalproperty_get_rdate(rdate).time;
        starts.append(IcalZone(rdate, at).toDateTime(at));
    }
    for (icalproperty* rrule : IcalTree::properties(vevent, ICAL_RRULE_PROPERTY)) {
        icalrecur_iterator* iterator = icalrecur_iterator_new(icalproperty_get_rrule(rrule), start);
        for (icaltimetype at = icalrecur_iterator_next(iterator);
             !icaltime_is_null_time(at) && zone.toDateTime(at) < to; at = icalrecur_iterator_next(iterator))
            starts.append(zone.toDateTime(at));
        icalrecur_iterator_free(iterator);
    }
    const QSet<qint64> excluded = IcalRecurrence::excluded(vevent);
    starts.removeIf([&](const QDateTime& at) {
        return excluded.contains(at.toSecsSinceEpoch()) || at >= to || (at.addSecs(length) <= from && at < from);
    });
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    return starts;
}
}  // namespace

// Each rule's occurrences in a window are those a plain walk from its start gives, though the
// walk starts near the window and goes in slices; the first 200 when there are more.
TEST(IcalRecurrence, AWindowHoldsWhatTheRulesGiveThereAndNoMoreThanItsShare)
{
    ScopedTimeZone zone("Asia/Seoul");
    const struct {
        const char* name;
        QByteArray lines;
        QDateTime from, to;
        IcalRecurrence::Cut cut = IcalRecurrence::Cut::none;
    } cases[] = {
        {"hours of five, in step with a start months ago",
         "DTSTART;TZID=Asia/Seoul:20251001T003000\nRRULE:FREQ=HOURLY;INTERVAL=5\n", seoul(1, 5), seoul(1, 12)},
        {"minutes of seven, more than the share",
         "DTSTART;TZID=Asia/Seoul:20251230T000000\nRRULE:FREQ=MINUTELY;INTERVAL=7\n", seoul(1, 5), seoul(1, 6),
         IcalRecurrence::Cut::repeatsTooOften},
        {"seconds of thirteen", "DTSTART:20260104T000000Z\nRRULE:FREQ=SECONDLY;INTERVAL=13\n", seoul(1, 5, 9),
         seoul(1, 5, 9, 20)},
        {"twice a day", "DTSTART:20251201T083000\nDTEND:20251201T090000\nRRULE:FREQ=DAILY;BYHOUR=8,20\n",
         seoul(1, 5, 8, 45), seoul(1, 12)},
        {"every other week from Sunday", "DTSTART:20251103T100000\nRRULE:FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,FR;WKST=SU\n",
         seoul(1, 5), seoul(2, 2)},
        {"minutes counted from their start, across slices",
         "DTSTART;TZID=Asia/Seoul:20260103T000000\nRRULE:FREQ=MINUTELY;COUNT=3000\n", seoul(1, 4, 12),
         seoul(1, 4, 13, 30)},
        {"minutes counted to their end", "DTSTART;TZID=Asia/Seoul:20260103T000000\nRRULE:FREQ=MINUTELY;COUNT=3000\n",
         seoul(1, 5, 1), seoul(1, 5, 3)},
        {"hours until a moment", "DTSTART:20260104T000000Z\nRRULE:FREQ=HOURLY;UNTIL=20260105T050000Z\n", seoul(1, 5),
         seoul(1, 6)},
        {"last Friday of the month", "DTSTART:20250131T180000\nRRULE:FREQ=MONTHLY;BYDAY=-1FR\n", seoul(1, 1),
         seoul(2, 1)},
        {"weekly 10:00 in New York across daylight saving",
         "DTSTART;TZID=America/New_York:20250106T100000\nRRULE:FREQ=WEEKLY;BYDAY=MO\n", seoul(3, 1), seoul(3, 31)},
        {"every three hours in New York across daylight saving",
         "DTSTART;TZID=America/New_York:20260301T010000\nRRULE:FREQ=HOURLY;INTERVAL=3\n", seoul(3, 8, 12),
         seoul(3, 9, 12)},
        {"minutes in New York as the clocks go back",
         "DTSTART;TZID=America/New_York:20261031T000000\nRRULE:FREQ=MINUTELY\n",
         QDateTime(QDate(2026, 11, 1), QTime(5, 10), Qt::UTC), QDateTime(QDate(2026, 11, 1), QTime(6, 20), Qt::UTC)},
        {"two rules: the earliest of both",
         "DTSTART:20260105T000000\nRRULE:FREQ=MINUTELY;INTERVAL=3\n"
         "RRULE:FREQ=MINUTELY;INTERVAL=2\n",
         seoul(1, 5), seoul(1, 6), IcalRecurrence::Cut::repeatsTooOften},
        {"all-day", "DTSTART;VALUE=DATE:20251201\nDTEND;VALUE=DATE:20251202\nRRULE:FREQ=DAILY\n", seoul(1, 5, 9),
         seoul(1, 8, 9)},
        {"Monday and Friday of week 20 and of the tenth week from the end, two years ago",
         "DTSTART;TZID=Asia/Seoul:20240513T100000\nRRULE:FREQ=YEARLY;BYWEEKNO=20,-10;BYDAY=MO,FR\n", seoul(1, 1),
         seoul(12, 31)},
        // Counted where a period may hold none: walked, never decided by the count alone.
        {"monthly from the 31st, counted", "DTSTART:20250131T090000\nRRULE:FREQ=MONTHLY;COUNT=8\n", seoul(1, 25),
         seoul(2, 5)},
        {"daily in January, counted", "DTSTART:20250101T090000\nRRULE:FREQ=DAILY;BYMONTH=1;COUNT=40\n", seoul(1, 5),
         seoul(1, 12)},
        {"weekly on weekdays from a Tuesday, counted into the window",
         "DTSTART:20251202T090000\nRRULE:FREQ=WEEKLY;BYDAY=MO,WE,FR;COUNT=15\n", seoul(1, 5), seoul(1, 12)},
        {"dates only, one taken out",
         "DTSTART:20260105T100000\nRDATE:20260107T100000,20260109T150000\n"
         "EXDATE:20260107T100000\n",
         seoul(1, 5), seoul(1, 12)},
        // Walked from just before the window: the evening's occurrence, begun before it, still lasts.
        {"twice a day for two hours, asked from the evening",
         "DTSTART:20251201T080000\nDTEND:20251201T100000\nRRULE:FREQ=DAILY;BYHOUR=8,20\n", seoul(1, 5, 21),
         seoul(1, 6, 9)},
        // Decided without a walk by where they end, their last occurrences at the window's edge.
        {"daily until a moment in UTC, the last at the window's start",
         "DTSTART;TZID=Asia/Seoul:20260101T060000\nRRULE:FREQ=DAILY;UNTIL=20260104T210000Z\n", seoul(1, 5),
         seoul(1, 6)},
        // Days a rule by days picks among them may leave a period empty: counted, never sure.
        {"weekdays counted, the end of their last week",
         "DTSTART;TZID=Asia/Seoul:20260105T090000\nRRULE:FREQ=DAILY;BYDAY=MO,TU,WE,TH,FR;COUNT=20\n", seoul(1, 27),
         seoul(2, 2)},
        {"two hours a day counted, the second day",
         "DTSTART;TZID=Asia/Seoul:20260105T090000\nRRULE:FREQ=HOURLY;BYHOUR=9,17;COUNT=10\n", seoul(1, 6), seoul(1, 7)},
        // A start on a day the rule does not pick is no occurrence of the count: its last is
        // in the count's period after the start's.
        {"Tuesdays counted from a Wednesday, the last",
         "DTSTART;TZID=Asia/Seoul:20260107T090000\nRRULE:FREQ=WEEKLY;BYDAY=TU;COUNT=2\n", seoul(1, 20), seoul(1, 21)},
        // Begun before the window, reaching into it by its three days.
        {"three days a week, the Wednesday of the second",
         "DTSTART;VALUE=DATE:20260105\nDTEND;VALUE=DATE:20260108\nRRULE:FREQ=WEEKLY;COUNT=4\n", seoul(1, 14),
         seoul(1, 15)},
        // No February has a 30th: the 26th is in May of the year after next.
        {"monthly from the 30th, counted", "DTSTART;TZID=Asia/Seoul:20250130T090000\nRRULE:FREQ=MONTHLY;COUNT=26\n",
         QDateTime(QDate(2027, 5, 1), QTime()), QDateTime(QDate(2027, 6, 1), QTime())},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const IcalTree::Owned calendar = parse(c.lines);
        icalcomponent* vevent = icalcomponent_get_first_component(calendar.get(), ICAL_VEVENT_COMPONENT);
        const icaltimetype end = icalcomponent_get_dtend(vevent);
        const qint64 length = icaltime_is_null_time(end)
                                  ? 0
                                  : icaltime_as_timet(end) - icaltime_as_timet(icalcomponent_get_dtstart(vevent));
        IcalRecurrence::Budget budget;
        const IcalRecurrence::Starts starts =
            IcalRecurrence::between(vevent, IcalRecurrence::excluded(vevent), {length}, c.from, c.to, budget);
        QList<QDateTime> expected = reference(vevent, length, c.from, c.to);
        expected.resize(std::min<qsizetype>(IcalRecurrence::kMaxPerSeries, expected.size()));
        EXPECT_FALSE(expected.isEmpty());
        EXPECT_EQ(starts.starts, expected);
        EXPECT_EQ(starts.cut, c.cut);
        EXPECT_EQ(budget.occurrences, IcalRecurrence::Budget().occurrences - expected.size());
    }
}

// Rules libical would search for minutes, and questions that have spent their budget, are cut
// short and say so.
TEST(IcalRecurrence, WorkIsBoundedPerSeriesAndPerQuestion)
{
    ScopedTimeZone zone("Asia/Seoul");
    const IcalTree::Owned leap = parse("DTSTART:20240229T000000Z\nRRULE:FREQ=SECONDLY;BYMONTH=2;BYMONTHDAY=29\n");
    const IcalTree::Owned minutes = parse("DTSTART:20250101T000000Z\nRRULE:FREQ=MINUTELY\n");
    const auto first = [](const IcalTree::Owned& calendar) {
        return icalcomponent_get_first_component(calendar.get(), ICAL_VEVENT_COMPONENT);
    };
    const QSet<qint64> noExdates;  // none of these series takes an occurrence out

    // What a question has for its first series: its own steps and the series'.
    const int fresh = IcalRecurrence::Budget().steps + IcalRecurrence::kStepsPerSeries;
    IcalRecurrence::Budget budget;
    const IcalRecurrence::Starts never =
        IcalRecurrence::between(first(leap), noExdates, {}, seoul(1, 5), seoul(1, 12), budget);
    EXPECT_TRUE(never.starts.isEmpty());
    EXPECT_EQ(never.cut, IcalRecurrence::Cut::unfinished);
    EXPECT_EQ(budget.steps, fresh - IcalRecurrence::kMaxStepsPerSeries);

    // A rule of days that gives every second of each, counted from weeks ago.
    QStringList all;
    for (int i = 0; i < 60; ++i)
        all << QString::number(i);
    const IcalTree::Owned seconds = parse(
        QStringLiteral("DTSTART:20251201T000000Z\nRRULE:FREQ=DAILY;COUNT=100000000;BYMINUTE=%1;BYSECOND=%1;BYHOUR=%2\n")
            .arg(all.join(','), all.first(24).join(','))
            .toUtf8());
    budget = {};
    const IcalRecurrence::Starts crowded =
        IcalRecurrence::between(first(seconds), noExdates, {}, seoul(1, 5), seoul(1, 6), budget);
    EXPECT_TRUE(crowded.starts.isEmpty());
    EXPECT_EQ(crowded.cut, IcalRecurrence::Cut::unfinished);

    // The question's occurrences run out in the second series.
    budget = {};
    budget.occurrences = 150;
    const auto take = [&] {
        return IcalRecurrence::between(first(minutes), noExdates, {}, seoul(1, 5), seoul(1, 6), budget);
    };
    const IcalRecurrence::Starts full = take();
    EXPECT_EQ(full.starts.size(), IcalRecurrence::kMaxPerSeries);
    EXPECT_EQ(full.cut, IcalRecurrence::Cut::repeatsTooOften);
    // Not this series' doing: the question's work ran out.
    const IcalRecurrence::Starts rest = take();
    EXPECT_EQ(rest.starts, full.starts.first(50));
    EXPECT_EQ(rest.cut, IcalRecurrence::Cut::unfinished);
    EXPECT_TRUE(take().starts.isEmpty());

    // So do its steps: a series then has the few left, and its own.
    budget = {};
    budget.occurrences = 2000;
    budget.steps = 200;
    const IcalRecurrence::Starts stepless = take();
    EXPECT_FALSE(stepless.starts.isEmpty());
    EXPECT_LT(stepless.starts.size(), IcalRecurrence::kMaxPerSeries);
    EXPECT_EQ(stepless.cut, IcalRecurrence::Cut::unfinished);
    EXPECT_EQ(budget.steps, 0);

    // Whatever its period and start year, a rule walks from just before the window; before
    // 1902 libical reads every time as −1, which must not make a walk free, nor start it wrong.
    struct Row {
        const char* name;
        QByteArray lines;
        qsizetype starts;
        IcalRecurrence::Cut cut;
        bool walked = true;
    };
    using enum IcalRecurrence::Cut;
    const Row rows[] = {
        {"daily since year 1", "DTSTART:00010101T090000\nRRULE:FREQ=DAILY\n", 7, none},
        {"hourly on 30 February since 1801", "DTSTART:18010101T090000\nRRULE:FREQ=HOURLY;BYMONTH=2;BYMONTHDAY=30\n", 0,
         none},
        // Over before the window: decided without walking it.
        {"hourly until 1901", "DTSTART:18010101T090000\nRRULE:FREQ=HOURLY;UNTIL=19011231T090000\n", 0, none, false},
        // libical would look for 30 February until the year 20000: the rule is not walked.
        {"monthly on 30 February", "DTSTART:20250130T090000\nRRULE:FREQ=MONTHLY;BYMONTH=2;BYMONTHDAY=30\n", 0, none},
        {"yearly on 30 February since 1801", "DTSTART:18010101T090000\nRRULE:FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=30\n", 0,
         none},
        // Over before the window, or starting after it: decided without walking.
        {"weekly on weekdays until years ago",
         "DTSTART:20190107T090000\nRRULE:FREQ=WEEKLY;BYDAY=MO,WE;UNTIL=20190401T000000Z\n", 0, none, false},
        {"weekly on weekdays, counted, years ago", "DTSTART:20190107T090000\nRRULE:FREQ=WEEKLY;BYDAY=MO,WE;COUNT=12\n",
         0, none, false},
        {"monthly from the 15th, counted, last summer", "DTSTART:20240115T090000\nRRULE:FREQ=MONTHLY;COUNT=20\n", 0,
         none, false},
        {"twice a day, counted, last year", "DTSTART:20250101T080000\nRRULE:FREQ=DAILY;BYHOUR=8,20;COUNT=300\n", 0,
         none, false},
        {"on 30 February, counted", "DTSTART:20240130T090000\nRRULE:FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=30;COUNT=3\n", 0,
         none},
        {"weekly from next month", "DTSTART:20260202T090000\nRRULE:FREQ=WEEKLY;BYDAY=MO,WE\n", 0, none, false},
        // Its 24,300 months are more than its share of steps.
        {"monthly on the last weekday since year 1",
         "DTSTART:00010101T090000\nRRULE:FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1\n", 0, unfinished},
        // The Monday of the second week, this one.
        {"yearly by a week number", "DTSTART:20250106T090000\nRRULE:FREQ=YEARLY;BYWEEKNO=2;BYDAY=MO\n", 1, none},
        // libical misplaces the days of the first week: the series is cut, the rest of it
        // still listed.
        {"yearly by the first week", "DTSTART:20260105T090000\nRRULE:FREQ=YEARLY;BYWEEKNO=1;BYDAY=MO\n", 1, unfinished,
         false},
        {"yearly by a week without a weekday", "DTSTART:20250512T090000\nRRULE:FREQ=YEARLY;BYWEEKNO=20\n", 0,
         unfinished, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const IcalTree::Owned series = parse(row.lines);
        budget = {};
        const IcalRecurrence::Starts starts =
            IcalRecurrence::between(first(series), noExdates, {}, seoul(1, 5), seoul(1, 12), budget);
        EXPECT_EQ(starts.starts.size(), row.starts);
        EXPECT_EQ(starts.cut, row.cut);
        // Every walk is charged, and none past its share.
        EXPECT_EQ(budget.steps < fresh, row.walked);
        EXPECT_GE(budget.steps, fresh - IcalRecurrence::kMaxStepsPerSeries);
    }

    // A course of twelve weeks that ended years ago is not walked, so an export of thousands of
    // them is worked out in full.
    const IcalTree::Owned course = parse("DTSTART:20010105T090000\nRRULE:FREQ=WEEKLY;COUNT=12\n");
    budget = {};
    const IcalRecurrence::Starts over =
        IcalRecurrence::between(first(course), noExdates, {}, seoul(1, 5), seoul(1, 12), budget);
    EXPECT_TRUE(over.starts.isEmpty());
    EXPECT_EQ(over.cut, IcalRecurrence::Cut::none);
    EXPECT_EQ(budget.steps, IcalRecurrence::Budget().steps + IcalRecurrence::kStepsPerSeries);

    // A question over hundreds of series that ended before the window, by UNTIL or by COUNT,
    // walks none: they cost no steps, no time (each look at the clock would find a question's
    // time gone) and none is cut.
    budget = {};
    qint64 now = 0;
    budget.clock = [&now] { return now += 2 * IcalRecurrence::kQuestionNanoseconds; };
    int ended = 0, cut = 0;
    for (int year = 2000; year < 2020; ++year) {
        const QByteArray start = "DTSTART:" + QByteArray::number(year) + "0115T090000\nRRULE:FREQ=";
        for (const QByteArray& rule : {"WEEKLY;BYDAY=TU,TH;UNTIL=" + QByteArray::number(year) + "0601T000000Z",
                                       QByteArray("WEEKLY;BYDAY=MO,WE,FR;COUNT=36"), QByteArray("MONTHLY;COUNT=60")}) {
            const IcalTree::Owned series = parse(start + rule + "\n");
            const IcalRecurrence::Starts starts =
                IcalRecurrence::between(first(series), noExdates, {}, seoul(1, 5), seoul(1, 12), budget);
            ended += starts.starts.isEmpty();
            cut += starts.cut != none;
        }
    }
    EXPECT_EQ(ended, 60);
    EXPECT_EQ(cut, 0);
    EXPECT_EQ(budget.steps, IcalRecurrence::Budget().steps + 60 * IcalRecurrence::kStepsPerSeries);
    EXPECT_EQ(now, 0);

    // Out of time, a rule is not walked, whatever steps are left: its series is cut, and its
    // own dates are still listed.
    const IcalTree::Owned everyMinute = parse("DTSTART:20260105T100000\nRRULE:FREQ=MINUTELY\n");
    budget = {};
    // Each look at the clock finds more than a question's time gone.
    budget.clock = [&now] { return now += 2 * IcalRecurrence::kQuestionNanoseconds; };
    const IcalRecurrence::Starts late =
        IcalRecurrence::between(first(everyMinute), noExdates, {}, seoul(1, 5), seoul(1, 12), budget);
    EXPECT_EQ(late.starts, QList<QDateTime>{seoul(1, 5, 10)});
    EXPECT_EQ(late.cut, IcalRecurrence::Cut::unfinished);
    EXPECT_EQ(budget.steps, IcalRecurrence::Budget().steps + IcalRecurrence::kStepsPerSeries);

    // Finding out that a rule never falls on a day looks at each kind of month once, within
    // what its series brings, and once a question for series of one rule and start: a
    // thousand such series, each from a year of its own or all alike, are all worked out.
    for (const bool alike : {false, true}) {
        SCOPED_TRACE(alike ? "alike" : "each from a year of its own");
        // Steps are counted here, not time, which a slow machine takes more of.
        budget = {};
        budget.nanoseconds = std::numeric_limits<qint64>::max() / 2;
        cut = 0;
        for (int i = 0; i < 1000; ++i) {
            // The second Monday of a month is never its 31st.
            const IcalTree::Owned payday = parse("DTSTART:" + QByteArray::number(alike ? 2025 : 1000 + i) +
                                                 "0130T090000\nRRULE:FREQ=MONTHLY;BYMONTHDAY=31;BYDAY=2MO\n");
            cut += IcalRecurrence::between(first(payday), noExdates, {}, seoul(1, 5), seoul(1, 12), budget).cut != none;
        }
        EXPECT_EQ(cut, 0);
        EXPECT_GE(budget.steps, IcalRecurrence::Budget().steps);
        // Known, it costs a step.
        if (alike) {
            EXPECT_GE(budget.steps, IcalRecurrence::Budget().steps + 999 * (IcalRecurrence::kStepsPerSeries - 1));
        }
    }
}

// The time bound counts the processor time spent walking rules, read on the Budget's clock: a
// question has kQuestionNanoseconds and each series it works out brings kNanosecondsPerSeries
// more. The clock is looked at every kCallsPerLook calls, and the walks are out of time once
// it has passed that, whatever was spent between walks (reading files).
TEST(IcalRecurrence, TheTimeBoundCountsOnlyTheWalksOfRules)
{
    ScopedTimeZone zone("Asia/Seoul");
    // Each series worked out brings its time; one of dates alone is not walked.
    const IcalTree::Owned dates = parse("DTSTART:20010105T090000\nRDATE:20010112T090000\n");
    using IcalRecurrence::kNanosecondsPerSeries;
    using IcalRecurrence::kQuestionNanoseconds;
    const struct {
        const char* name;
        int series;
        qint64 walking;  // in all the walks, alike
        qint64 reading;  // between each two
        bool out;
        int walks = 2;
    } rows[] = {
        {"a question's own time", 0, kQuestionNanoseconds, 0, false},
        {"a nanosecond more", 0, kQuestionNanoseconds + 1, 0, true},
        {"a thousand series bring more", 1000, kQuestionNanoseconds + 1000 * kNanosecondsPerSeries, 0, false},
        {"and no more", 1000, kQuestionNanoseconds + 1000 * kNanosecondsPerSeries + 1, 0, true},
        {"reading between walks takes none", 0, kQuestionNanoseconds, 100 * kQuestionNanoseconds, false},
        {"three walks of 200 ms: each counts, not only the last", 0, 600'000'000, 0, true, 3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        qint64 now = 0;
        IcalRecurrence::Budget budget;
        budget.clock = [&now] { return now; };
        for (int i = 0; i < row.series; ++i)
            IcalRecurrence::between(icalcomponent_get_first_component(dates.get(), ICAL_VEVENT_COMPONENT), {}, {},
                                    seoul(1, 5), seoul(1, 12), budget);
        for (int walk = 1; walk < row.walks; ++walk) {
            budget.startWalk();
            now += row.walking / row.walks;
            budget.endWalk();
            now += row.reading;
        }
        budget.startWalk();
        // The first call looks at the clock, the next kCallsPerLook - 1 do not.
        EXPECT_FALSE(budget.outOfTime());
        now += row.walking - (row.walks - 1) * (row.walking / row.walks);
        int foundOut = 0;
        for (int call = 1; call <= 2 * IcalRecurrence::Budget::kCallsPerLook && !foundOut; ++call)
            foundOut = budget.outOfTime() ? call : 0;
        EXPECT_EQ(foundOut, row.out ? IcalRecurrence::Budget::kCallsPerLook : 0);
    }
}
