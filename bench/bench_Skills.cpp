// How long a calendar question takes to answer, from the call to the answer on the asking
// thread: each kind of file other programs and people write (a series before, among or after
// single events, several rules in one event, a rule by minutes, by seconds, by week numbers or
// one libical searches years for, rules on a day that never comes, a file that is no calendar,
// a long line, a huge one, a byte-order mark, CR line ends, damaged lines, deep nesting,
// zones of other names, events without UID or in two copies, an invitation to one
// occurrence, vendor blocks), alone in the calendar folder, asked to list today, list the
// week, change an event and delete one; the week listed from one file of thousands of series,
// and from thousands on a day that never comes; today listed from exports of years, past an
// event nested deep, from series whose every step costs libical long, and from a calendar
// beside a copy of itself; one event of such an export changed, by its start and by its id;
// the same exports parsed by libical alone.
// The window's thread only waits for the answer here; in the program it goes on meanwhile.
#include "Common/ExportedCalendars.h"
#include "Common/FakeScheduler.h"
#include "Common/ScopedTimeZone.h"
#include "Platform/Calendar/IcalCalendarStore.h"
#include "Platform/Calendar/IcalTree.h"
#include "Skills/CalendarDeleteEventSkill.h"
#include "Skills/CalendarListTodaySkill.h"
#include "Skills/CalendarListWeekSkill.h"
#include "Skills/CalendarUpdateEventSkill.h"
#include "Skills/SkillWorker.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>

#include <malloc.h>

namespace {

enum Question { listToday, listWeek, changeIt, deleteIt };
const char* const kQuestions[] = {"list today", "list week", "update", "delete"};

// The skill's answer, or its error's message, waited for on this thread.
QString ask(Skill& skill, const SkillArgs& args)
{
    QString answer;
    QEventLoop loop;
    bool answered = false;
    skill.run(args, AppLanguage::korean, [&](Skill::Outcome outcome) {
        const auto* error = std::get_if<SkillError>(&outcome);
        answer = error ? error->message : std::get<QString>(outcome);
        answered = true;
        loop.quit();
    });
    if (!answered)
        loop.exec();
    return answer;
}

// Asks the skill once a round, the file written anew into the folder before each, since a
// change changes it; returns the last answer.
QString askOverFreshFile(benchmark::State& state, const QString& folder, const ExportedCalendars::File& file,
                         Skill& skill, const SkillArgs& args)
{
    QString answer;
    for (auto _ : state) {
        state.PauseTiming();
        QDir(folder).removeRecursively();
        ExportedCalendars::write(folder, file);
        state.ResumeTiming();
        answer = ask(skill, args);
    }
    return answer;
}

void BM_CalendarQuestion(benchmark::State& state)
{
    const ExportedCalendars::File file = ExportedCalendars::all().at(state.range(0));
    const auto question = Question(state.range(1));
    // The files left out are said once a question; the timing is the store's, not the terminal's.
    QLoggingCategory::setFilterRules(QStringLiteral("app.parlivox.*.info=false\napp.parlivox.calendar.warning=false"));
    ScopedTimeZone zone("Asia/Seoul");
    QTemporaryDir scratch;
    const QString folder = scratch.path() + QStringLiteral("/calendar");
    FakeScheduler clock(ExportedCalendars::now());
    IcalCalendarStore store(folder);
    const auto worker = std::make_shared<SkillWorker>(QStringLiteral("app.parlivox.calendar"));
    CalendarListTodaySkill today(store, clock, worker);
    CalendarListWeekSkill week(store, clock, worker);
    CalendarUpdateEventSkill update(store, clock, worker);
    CalendarDeleteEventSkill removal(store, clock, worker);
    Skill* const skills[] = {&today, &week, &update, &removal};
    const SkillArgs args = question == changeIt   ? SkillArgs{{"original_start", file.target}, {"location", "Hall"}}
                           : question == deleteIt ? SkillArgs{{"start", file.target}}
                                                  : SkillArgs{};
    const QString answer = askOverFreshFile(state, folder, file, *skills[question], args);
    state.SetLabel(QStringLiteral("%1 × %2: %3")
                       .arg(file.name, QLatin1String(kQuestions[question]),
                            answer.size() > 60 ? answer.left(40) + QStringLiteral("…") + answer.right(20) : answer)
                       .toStdString());
}
BENCHMARK(BM_CalendarQuestion)
    ->ArgsProduct({benchmark::CreateDenseRange(0, int(ExportedCalendars::all().size()) - 1, 1),
                   benchmark::CreateDenseRange(0, 3, 1)})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A field of the process's status in KiB ("VmRSS", "VmHWM": resident now, at the most).
double statusKiB(const QByteArray& field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').first().toDouble();
    return 0;
}

// How much the process grows at the most, and the processor time it takes, from its making
// to report(): the peak starts again from here (Linux).
class Growth {
public:
    Growth()
    {
        // What earlier runs freed is given back first, so it does not hide this run's growth.
        malloc_trim(0);
        QFile peak(QStringLiteral("/proc/self/clear_refs"));
        if (peak.open(QIODevice::WriteOnly))
            peak.write("5");
        peak.close();
        m_before = statusKiB("VmRSS");
        m_cpuBefore = std::clock();
    }

    // The processor time of the whole process, which the question's thread takes nearly all of:
    // another load on the machine stretches the real time, not this.
    void report(benchmark::State& state) const
    {
        state.counters["grew MiB"] = (statusKiB("VmHWM") - m_before) / 1024;
        state.counters["CPU s"] = double(std::clock() - m_cpuBefore) / CLOCKS_PER_SEC /
                                  double(std::max<benchmark::IterationCount>(1, state.iterations()));
    }

private:
    double m_before = 0;
    std::clock_t m_cpuBefore = 0;
};

// Times one listing skill asked over `file`, alone in the calendar folder (or with copies of
// it under other names), and how much the process grew at the most meanwhile; returns its
// answer.
template <typename Listing>
QString timeListing(benchmark::State& state, const ExportedCalendars::File& file, int copies = 1)
{
    ScopedTimeZone zone("Asia/Seoul");
    QTemporaryDir scratch;
    const QString folder = scratch.path() + QStringLiteral("/calendar");
    for (int copy = 0; copy < copies; ++copy)
        ExportedCalendars::write(folder, {QStringLiteral("%1-").arg(copy) + file.name, file.text});
    FakeScheduler clock(ExportedCalendars::now());
    IcalCalendarStore store(folder);
    Listing listing(store, clock, std::make_shared<SkillWorker>(QStringLiteral("app.parlivox.calendar")));
    QString answer;
    const Growth growth;
    for (auto _ : state)
        answer = ask(listing, {});
    growth.report(state);
    return answer;
}

// A week listed from one file of many series, as a shared calendar exports it whole: the
// cost per series must not grow with the file.
void BM_CalendarManySeries(benchmark::State& state)
{
    const ExportedCalendars::File file = ExportedCalendars::manySeries(int(state.range(0)));
    const QString answer = timeListing<CalendarListWeekSkill>(state, file);
    state.SetLabel(
        QStringLiteral("%1 × list week: %2").arg(file.name, answer.left(40) + QStringLiteral("…")).toStdString());
}
BENCHMARK(BM_CalendarManySeries)->Arg(1500)->Arg(3000)->Unit(benchmark::kMillisecond)->UseRealTime();

// A busy calendar of years exported as one file, of 10 and 50 MiB: of single events, or of
// series over before the window, each with an override after all the series.
ExportedCalendars::File exportOf(const benchmark::State& state)
{
    const qint64 bytes = state.range(0) << 20;
    return state.range(1) ? ExportedCalendars::seriesExport(bytes) : ExportedCalendars::largeExport(bytes);
}

void exportRows(benchmark::internal::Benchmark* rows)
{
    rows->Args({10, 0})->Args({50, 0})->Args({10, 1})->Args({50, 1})->Unit(benchmark::kMillisecond)->UseRealTime();
}

// Today listed from a busy calendar of years exported as one file, of 10 and 50 MiB, of
// single events, and of 10 and 50 MiB of series over before the window, each with an override
// after all the series: read a component at a time, the last event of the file included, no
// series walked nor named as not worked out, and the process grows by the text of the
// series, not their trees.
void BM_CalendarLargeExport(benchmark::State& state)
{
    const ExportedCalendars::File file = exportOf(state);
    const QString answer = timeListing<CalendarListTodaySkill>(state, file);
    state.counters["MiB"] = double(file.text.size()) / (1 << 20);
    state.SetLabel(QStringLiteral("%1 × list today: %2").arg(file.name, answer).toStdString());
}
BENCHMARK(BM_CalendarLargeExport)->Apply(exportRows);

// The same exports of series as read by libical alone, what the listing above is measured
// beside: the whole text parsed into one tree, then each VEVENT's occurrences in today
// expanded, counted as they come.
void BM_CalendarLibicalAlone(benchmark::State& state)
{
    const ExportedCalendars::File file = ExportedCalendars::seriesExport(state.range(0) << 20);
    ScopedTimeZone zone("Asia/Seoul");
    const QDateTime today = ExportedCalendars::now().date().startOfDay();
    icaltimezone* utc = icaltimezone_get_utc_timezone();
    const icaltimetype from = icaltime_from_timet_with_zone(today.toSecsSinceEpoch(), 0, utc);
    const icaltimetype to = icaltime_from_timet_with_zone(today.addDays(1).toSecsSinceEpoch(), 0, utc);
    int occurrences = 0;
    const Growth growth;
    for (auto _ : state) {
        occurrences = 0;
        const IcalTree::Owned calendar(icalparser_parse_string(file.text.constData()));
        for (icalcomponent* vevent : IcalTree::children(calendar.get(), ICAL_VEVENT_COMPONENT))
            icalcomponent_foreach_recurrence(
                vevent, from, to, [](icalcomponent*, icaltime_span*, void* count) { ++*static_cast<int*>(count); },
                &occurrences);
    }
    growth.report(state);
    state.counters["MiB"] = double(file.text.size()) / (1 << 20);
    state.SetLabel(QStringLiteral("%1 × libical: %2 occurrences today").arg(file.name).arg(occurrences).toStdString());
}
BENCHMARK(BM_CalendarLibicalAlone)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime();

// One event of a busy calendar of years exported as one file, of 10 and 50 MiB, moved as the
// update skill moves it: found by its start among the events of the month around it, then
// changed in place, the rest of the file kept byte for byte.
void BM_CalendarLargeChange(benchmark::State& state)
{
    const ExportedCalendars::File file = ExportedCalendars::largeExport(state.range(0) << 20);
    QLoggingCategory::setFilterRules(QStringLiteral("app.parlivox.*.info=false"));
    ScopedTimeZone zone("Asia/Seoul");
    QTemporaryDir scratch;
    const QString folder = scratch.path() + QStringLiteral("/calendar");
    FakeScheduler clock(ExportedCalendars::now());
    IcalCalendarStore store(folder);
    CalendarUpdateEventSkill update(store, clock,
                                    std::make_shared<SkillWorker>(QStringLiteral("app.parlivox.calendar")));
    const QString answer =
        askOverFreshFile(state, folder, file, update, {{"original_start", file.target}, {"start", "2026-01-05T16:30"}});
    state.counters["MiB"] = double(file.text.size()) / (1 << 20);
    state.SetLabel(QStringLiteral("%1 × update: %2").arg(file.name, answer).toStdString());
}
BENCHMARK(BM_CalendarLargeChange)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime();

// Today's event of each export above (its last) renamed by its id on a store that has read
// nothing yet, as a caller that knows the id does: found, then saved, the file written anew
// before each round. Beside the listing of the same file it shows what a change costs.
void BM_CalendarRenameById(benchmark::State& state)
{
    const ExportedCalendars::File file = exportOf(state);
    QLoggingCategory::setFilterRules(QStringLiteral("app.parlivox.*.info=false"));
    ScopedTimeZone zone("Asia/Seoul");
    QTemporaryDir scratch;
    const QString folder = scratch.path() + QStringLiteral("/calendar");
    ExportedCalendars::write(folder, file);
    // Its id, found once beforehand by its start.
    const QDateTime target = QDateTime::fromString(file.target, Qt::ISODate);
    QString id;
    if (const auto listing = IcalCalendarStore(folder).events(target, target.addSecs(60), nullptr))
        for (const CalendarEvent& event : listing->events)
            if (event.start == target)
                id = event.id;
    bool renamed = false;
    const Growth growth;
    for (auto _ : state) {
        state.PauseTiming();
        QDir(folder).removeRecursively();
        ExportedCalendars::write(folder, file);
        state.ResumeTiming();
        IcalCalendarStore store(folder);
        std::optional<CalendarEvent> found;
        renamed = store.find(id, &found, nullptr) && found;
        if (renamed) {
            found->title = QStringLiteral("Renamed");
            renamed = store.save(*found, nullptr);
        }
    }
    growth.report(state);
    state.counters["MiB"] = double(file.text.size()) / (1 << 20);
    state.SetLabel(QStringLiteral("%1 × rename %2: %3").arg(file.name, id, renamed ? "done" : "failed").toStdString());
}
BENCHMARK(BM_CalendarRenameById)->Apply(exportRows);

// Today listed from a busy calendar, alone and beside an identical copy of itself (two exports
// of one calendar): only the winning copy of each series is worked out, so two copies cost
// about what one does, and every occurrence is listed.
void BM_CalendarCopies(benchmark::State& state)
{
    const ExportedCalendars::File file = ExportedCalendars::busySeries(4);
    const QString answer = timeListing<CalendarListTodaySkill>(state, file, int(state.range(0)));
    state.SetLabel(QStringLiteral("%1 × %2 × list today: %3")
                       .arg(file.name)
                       .arg(state.range(0))
                       .arg(answer.left(40) + QStringLiteral("…") + answer.right(20))
                       .toStdString());
}
BENCHMARK(BM_CalendarCopies)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// Today listed past an event of about 4 MiB of components, each inside the one before, and
// END lines of components never opened: each line costs the same, however deep.
void BM_CalendarDeepNesting(benchmark::State& state)
{
    const ExportedCalendars::File file = ExportedCalendars::deepNesting(state.range(0) << 10);
    const QString answer = timeListing<CalendarListTodaySkill>(state, file);
    state.SetLabel(QStringLiteral("%1 × list today: %2").arg(file.name, answer).toStdString());
}
BENCHMARK(BM_CalendarDeepNesting)->Arg(4300)->Unit(benchmark::kMillisecond)->UseRealTime();

// The week listed from 10,000 monthly series on a day that never comes, from a thousand
// different years: finding that out is charged before it runs, and done once for series alike.
void BM_CalendarNeverFalling(benchmark::State& state)
{
    const ExportedCalendars::File file = ExportedCalendars::neverFalling(int(state.range(0)));
    const QString answer = timeListing<CalendarListWeekSkill>(state, file);
    state.counters["MiB"] = double(file.text.size()) / (1 << 20);
    state.SetLabel(QStringLiteral("%1 × list week: %2").arg(file.name, answer).toStdString());
}
BENCHMARK(BM_CalendarNeverFalling)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Today listed from series by seconds whose every step costs libical long: eight in a file
// of about 1.5 KB, and thousands in a few MiB. The work on rules is bounded by time, so the
// answer comes within about a second, naming the series not worked out.
void BM_CalendarCostlyRules(benchmark::State& state)
{
    const ExportedCalendars::File file = ExportedCalendars::costlyRules(int(state.range(0)));
    const QString answer = timeListing<CalendarListTodaySkill>(state, file);
    state.counters["MiB"] = double(file.text.size()) / (1 << 20);
    state.SetLabel(
        QStringLiteral("%1 × list today: %2").arg(file.name, answer.left(60) + QStringLiteral("…")).toStdString());
}
BENCHMARK(BM_CalendarCostlyRules)->Arg(8)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
