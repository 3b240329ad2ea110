#include "Platform/IcalReader.h"

#include "Platform/IcalZone.h"
#include "Support/FileIO.h"

#include <QFileInfo>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcCalendarFiles, "app.parlivox.calendar")

namespace {
using IcalTree::text;

// The file's bytes; nothing, with the reason, when it cannot be read or is too large.
std::optional<QByteArray> bytesOf(const QString& path, QString* reason)
{
    const QString tooLarge = QStringLiteral("it is larger than %1 MiB").arg(IcalReader::kMaxFileBytes >> 20);
    if (QFileInfo(path).size() > IcalReader::kMaxFileBytes) {
        *reason = tooLarge;
        return std::nullopt;
    }
    std::optional<QByteArray> data = FileIO::readAll(path, reason);
    // It may have grown since it was measured.
    if (data && data->size() > IcalReader::kMaxFileBytes) {
        *reason = tooLarge;
        return std::nullopt;
    }
    return data;
}

// Takes the lines longer than kMaxLineBytes out of `data`; returns how many went.
int dropLongLines(QByteArray& data)
{
    int dropped = 0;
    QByteArray kept;
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = data.indexOf('\n', start);
        end = end < 0 ? data.size() : end + 1;
        if (end - start > IcalReader::kMaxLineBytes) {
            // The bytes before it are copied only once there is a line to leave out.
            if (dropped++ == 0)
                kept = data.left(start);
        } else if (dropped) {
            kept.append(data.constData() + start, end - start);
        }
        start = end;
    }
    if (dropped)
        data = std::move(kept);
    return dropped;
}

QString lineLimit()
{
    return QStringLiteral("%1 KiB").arg(IcalReader::kMaxLineBytes >> 10);
}

// Why libical's reading of the file cannot be written back as the file: its root is not one
// VCALENDAR (several calendars, an unknown wrapper), or libical repaired something on the
// way in (X-LIC-ERROR), which writing would make permanent. Nothing when it can.
std::optional<QString> unfaithful(icalcomponent* root)
{
    if (icalcomponent_isa(root) != ICAL_VCALENDAR_COMPONENT)
        return QStringLiteral("it is not one VCALENDAR");
    QList<icalcomponent*> pending{root};
    while (!pending.isEmpty()) {
        icalcomponent* component = pending.takeLast();
        if (icalproperty* repair = icalcomponent_get_first_property(component, ICAL_XLICERROR_PROPERTY))
            return QStringLiteral("libical had to repair it (%1)").arg(text(icalproperty_get_xlicerror(repair)));
        pending.append(IcalTree::children(component, ICAL_ANY_COMPONENT));
    }
    return std::nullopt;
}
}  // namespace

namespace IcalReader {

IcalTree::Owned readForListing(const QString& path)
{
    QString reason;
    std::optional<QByteArray> data = bytesOf(path, &reason);
    if (!data) {
        qCWarning(lcCalendarFiles, "skipped %s: %s", qUtf8Printable(path), qUtf8Printable(reason));
        return nullptr;
    }
    if (const int dropped = dropLongLines(*data))
        qCWarning(lcCalendarFiles, "skipped lines longer than %s in %s: %d", qUtf8Printable(lineLimit()),
                  qUtf8Printable(path), dropped);
    IcalTree::Owned root(icalparser_parse_string(data->constData()));
    if (!root || calendarsOf(root.get()).isEmpty()) {
        qCWarning(lcCalendarFiles, "skipped %s: not an iCalendar file", qUtf8Printable(path));
        return nullptr;
    }
    return root;
}

IcalTree::Owned readForChange(const QString& path, QString* error)
{
    const auto refuse = [error](const QString& reason) {
        FileIO::fail(error, reason);
        return IcalTree::Owned();
    };
    const auto unchanged = [&](const QString& reason) {
        return refuse(QStringLiteral("%1 cannot be written back as it is: %2; it is left unchanged").arg(path, reason));
    };
    QString reason;
    std::optional<QByteArray> data = bytesOf(path, &reason);
    if (!data)
        return refuse(QStringLiteral("%1: %2").arg(path, reason));
    // Never replace a file with what libical made of it unless that is the file.
    if (dropLongLines(*data))
        return unchanged(QStringLiteral("a line is longer than %1").arg(lineLimit()));
    IcalTree::Owned root(icalparser_parse_string(data->constData()));
    if (!root)
        return refuse(QStringLiteral("%1 is not an iCalendar file; it is left as it is").arg(path));
    if (const std::optional<QString> why = unfaithful(root.get()))
        return unchanged(*why);
    return root;
}

QList<icalcomponent*> calendarsOf(icalcomponent* root)
{
    if (icalcomponent_isa(root) == ICAL_VCALENDAR_COMPONENT)
        return {root};
    return IcalTree::children(root, ICAL_VCALENDAR_COMPONENT);
}

std::optional<CalendarEvent> eventOf(icalcomponent* vevent)
{
    icalproperty* startProperty = icalcomponent_get_first_property(vevent, ICAL_DTSTART_PROPERTY);
    const char* uid = icalcomponent_get_uid(vevent);
    if (!startProperty || !uid || !*uid)
        return std::nullopt;
    CalendarEvent event;
    event.id = text(uid);
    const icaltimetype start = icalcomponent_get_dtstart(vevent);
    event.start = IcalZone(startProperty, start).toDateTime(start);
    // libical derives the end from DURATION when there is no DTEND.
    const icaltimetype end = icalcomponent_get_dtend(vevent);
    icalproperty* endProperty = icalcomponent_get_first_property(vevent, ICAL_DTEND_PROPERTY);
    event.end = icaltime_is_null_time(end) ? event.start
                                           : IcalZone(endProperty ? endProperty : startProperty, end).toDateTime(end);
    event.title = text(icalcomponent_get_summary(vevent));
    event.location = text(icalcomponent_get_location(vevent));
    event.notes = text(icalcomponent_get_description(vevent));
    if (!event.start.isValid() || !event.end.isValid())
        return std::nullopt;
    return event;
}

}  // namespace IcalReader
