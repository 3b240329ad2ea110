#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// Calendar files as other programs export them: several VEVENTs in one VCALENDAR with CRLF
// lines, TZIDs with their VTIMEZONE, series among single events (daily, weekly, several rules
// in one event, by minutes and by seconds), overrides, EXDATE and RDATE, all-day events, and
// files with a line or a size no calendar should have. Written for the week from Monday
// 5 January 2026, 09:00 in Seoul (run under TZ=Asia/Seoul).
namespace ExportedCalendars {

struct File {
    QString name;
    QByteArray text;
    // The local start of one of its single events, after its series: what a change or a
    // removal of the file's events aims at.
    QString target = {};
};

// Monday 5 January 2026, 09:00, local time.
QDateTime now();

// Each kind of file once, in the order of the table the tests print.
QList<File> all();
// One of them by name.
File named(const QString& name);

// One file of `count` weekly series at different hours of the week, every tenth with its
// occurrence of this week moved by an override: a large shared calendar exported whole.
File manySeries(int count);

// A busy calendar of years exported whole, of about `bytes`: single events since 2000 (with a
// weekly series now and then), today's dentist at the start and today's "Quarterly review"
// last, so a reader that stops early misses it.
File largeExport(qint64 bytes);

// The same, of about `bytes`, but every event a weekly series with one occurrence moved by an
// override, whose series stand apart from it in the file.
File seriesExport(qint64 bytes);

// Today's lunch after an event of about `bytes` holding components, each inside the one
// before, followed by END lines of components never opened.
File deepNesting(qint64 bytes);

// Today's lunch after `count` monthly series on a day that never comes (the 31st that is a
// month's second Monday), each from a year of its own.
File neverFalling(int count);

// Today's lunch after `count` series by seconds from 1970 with a large COUNT, whose rules
// libical takes long over for each second it walks.
File costlyRules(int count);

// `count` series every quarter of an hour since December, each a minute after the one
// before: a busy shared calendar, whose series give about a hundred occurrences a day each.
File busySeries(int count);

// Writes the file into the folder, which is made when missing.
bool write(const QString& folder, const File& file);

}  // namespace ExportedCalendars
