// Any calendar file, alone in a calendar folder: the first event a wide listing gives is renamed
// in place. A change made keeps every byte outside that event's own VEVENTs, and the event is
// then found under its id with its new title; a change refused leaves the file byte for byte.
#include "Common/CalendarBytes.h"
#include "Common/ScopedTimeZone.h"
#include "FuzzCheck.h"
#include "FuzzedStoreFile.h"
#include "Platform/Calendar/IcalCalendarStore.h"
#include "Support/FileIO.h"

#include <QRegularExpression>

#include <cstdint>

namespace {
QString fuzzedFile()
{
    return IcalCalendarStore::defaultFolder() + QStringLiteral("/fuzzed.ics");
}

// The UID of an event's id: an occurrence's ends in '#' and its original start in UTC.
QByteArray uidOf(const QString& id)
{
    static const QRegularExpression occurrence(QStringLiteral("#\\d{8}T\\d{6}Z$"));
    return QString(id).remove(occurrence).toUtf8();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A zone whose clocks change, for times of days and dates alike.
    static const ScopedTimeZone zone("Europe/Berlin");
    const QByteArray before(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const FuzzedStoreFile file(&fuzzedFile, before);
    IcalCalendarStore store;
    const std::optional<CalendarStore::Listing> listing = store.events(
        QDateTime(QDate(1970, 1, 1), QTime(), Qt::UTC), QDateTime(QDate(2100, 1, 1), QTime(), Qt::UTC), nullptr);
    fuzzCheck(file.unchanged(), "listing never writes");
    if (!listing || listing->events.isEmpty())
        return 0;

    CalendarEvent renamed = listing->events.first();
    // Long and not ASCII: written folded, between the bytes of no character. libical reads a
    // value without the blanks it ends in.
    renamed.title = QStringLiteral("이름 ").repeated(20) + QStringLiteral("퍼즈");
    if (!store.save(renamed, nullptr)) {
        fuzzCheck(file.unchanged(), "a refused change leaves the file byte for byte");
        return 0;
    }
    const QByteArray uid = uidOf(renamed.id);
    // Where the event's UID line is written in another form than its id, its VEVENTs are not
    // told apart here.
    if (!CalendarBytes::eventsOf(before, uid).isEmpty()) {
        const QByteArray after = FileIO::readAll(fuzzedFile()).value_or(QByteArray());
        fuzzCheck(!CalendarBytes::changedOutside(before, after, uid),
                  "every byte outside the event's own VEVENTs stays");
    }
    std::optional<CalendarEvent> found;
    fuzzCheck(IcalCalendarStore().find(renamed.id, &found, nullptr) && found && found->title == renamed.title,
              "the renamed event is found with its new title");
    return 0;
}
