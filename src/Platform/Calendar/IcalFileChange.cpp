#include "Platform/Calendar/IcalFileChange.h"

#include "Platform/Calendar/IcalContentLine.h"
#include "Platform/Calendar/IcalEventChange.h"
#include "Platform/Calendar/IcalIdentity.h"
#include "Platform/Calendar/IcalReader.h"
#include "Platform/Calendar/IcalSplitter.h"
#include "Support/FileIO.h"

#include <QFile>
#include <QHash>

#include <algorithm>

namespace {
using FileIO::fail;

// Whether the VEVENT's text may be of the UID: one of its UID lines says so, escaped or as
// written (libical reads a comma or semicolon left unescaped as itself), or it has none and is
// named after its text. Read before libical reads the few that may be, so a change to a large
// export reads only those.
bool mayBeOf(const QByteArray& text, const QString& uid)
{
    const QByteArray written = IcalContentLine::escaped(uid), plain = uid.toUtf8();
    bool named = false;
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype end = IcalContentLine::lineEnd(text, at);
        const QByteArrayView line(text.constData() + at, end - at);
        // Most lines are passed over at their first letters.
        if (line.size() > 3 && qstrnicmp(line.data(), "UID", 3) == 0 && IcalSplitter::nameOf(line) == "UID") {
            named = true;
            const QByteArray value =
                IcalContentLine::split(IcalContentLine::unfolded(line.toByteArray())).value.trimmed();
            if (value.isEmpty() || value == written || value == plain || value.contains('\\'))
                return true;
        }
        at = end + 1;
    }
    return !named;
}
}  // namespace

IcalFileChange::IcalFileChange(QString path, QString uid, QByteArray bytes)
    : m_path(std::move(path)), m_uid(std::move(uid)), m_bytes(std::move(bytes))
{
}

std::unique_ptr<IcalFileChange> IcalFileChange::open(const QString& path, const QString& uid, QString* error)
{
    QFile file(path);
    QString reason;
    if (!FileIO::openForReading(file, &reason)) {
        fail(error, QStringLiteral("%1: %2").arg(path, reason));
        return nullptr;
    }
    // It may grow while it is read.
    QByteArray bytes = file.read(IcalReader::kMaxListedBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        fail(error, QStringLiteral("%1: %2").arg(path, file.errorString()));
        return nullptr;
    }
    if (bytes.size() > IcalReader::kMaxListedBytes) {
        fail(error, QStringLiteral("%1 is larger than %2 MiB; it is left as it is")
                        .arg(path)
                        .arg(IcalReader::kMaxListedBytes >> 20));
        return nullptr;
    }
    std::unique_ptr<IcalFileChange> change(new IcalFileChange(path, uid, std::move(bytes)));
    struct Candidate {
        int calendar;
        qint64 position;
        IcalSplitter::Child child;
    };
    QHash<int, QList<QByteArray>> zones;
    QList<Candidate> candidates;
    qint64 position = 0;  // of the VEVENT, as a listing places it
    IcalSplitter splitter({"VEVENT", "VTIMEZONE"}, {[](int) {},
                                                    [&](const IcalSplitter::Child& child) {
                                                        change->m_children.append({child.name, child.begin});
                                                        if (child.text.isEmpty())
                                                            return;
                                                        if (child.name == "VTIMEZONE") {
                                                            zones[child.calendar].append(child.text);
                                                        } else if (child.name == "VEVENT") {
                                                            const qint64 at = position++;
                                                            if (mayBeOf(child.text, uid))
                                                                candidates.append({child.calendar, at, child});
                                                        }
                                                    },
                                                    [](int) {}});
    splitter.add(change->m_bytes);
    splitter.finish();
    change->m_damaged = splitter.damage().any() || splitter.longLines() || splitter.unendedCalendars();

    QHash<int, icalcomponent*> calendars;
    QList<IcalIdentity::Component> components;
    for (const Candidate& candidate : candidates) {
        // libical stops at a NUL byte: read without it, to know the event and refuse to change it.
        const QByteArray& text = candidate.child.text;
        IcalTree::Owned vevent = IcalReader::veventOf(text.contains('\0') ? QByteArray(text).replace('\0', "") : text);
        if (!vevent || IcalIdentity::uidOf(vevent.get()) != uid)
            continue;
        icalcomponent*& calendar = calendars[candidate.calendar];
        if (!calendar) {
            change->m_calendars.push_back(IcalReader::calendarWith(zones.value(candidate.calendar)));
            calendar = change->m_calendars.back().get();
        }
        components.append({vevent.get(), candidate.position});
        change->m_parts.push_back({vevent.get(), IcalReader::fingerprintOf(text), candidate.child.begin,
                                   candidate.child.end, candidate.child.whole});
        icalcomponent_add_component(calendar, vevent.release());
    }
    change->m_master = IcalIdentity::masterOf(components, uid).vevent;
    change->m_overrides = IcalOverrides::overridesOf(
        components, uid,
        change->m_master ? std::optional<bool>(IcalOverrides::ofDates(change->m_master)) : std::nullopt);
    return change;
}

IcalFileChange::Part* IcalFileChange::partOf(icalcomponent* vevent)
{
    const auto found =
        std::find_if(m_parts.begin(), m_parts.end(), [&](const Part& part) { return part.vevent == vevent; });
    return found == m_parts.end() ? nullptr : &*found;
}

bool IcalFileChange::refuse(const QString& why, QString* error) const
{
    return fail(error,
                QStringLiteral("%1 is left as it is: the event's text cannot be changed safely, %2").arg(m_path, why));
}

IcalFileChange::Part* IcalFileChange::editable(icalcomponent* vevent, QString* error)
{
    Part* part = partOf(vevent);
    if (!part) {
        fail(error, QStringLiteral("%1 no longer holds the event").arg(m_path));
        return nullptr;
    }
    if (part->text)
        return part;
    if (!part->whole) {
        refuse(QStringLiteral("an END line inside it does not match"), error);
        return nullptr;
    }
    IcalComponentText text(m_bytes.mid(part->begin, part->end - part->begin));
    if (const std::optional<QString> damage = text.damage()) {
        refuse(*damage, error);
        return nullptr;
    }
    IcalEventChange::pinUid(text, vevent, m_uid);
    part->text = std::move(text);
    return part;
}

bool IcalFileChange::change(icalcomponent* vevent, const CalendarEvent& was, const CalendarEvent& now, QString* error)
{
    if (now == was)
        return partOf(vevent) || fail(error, QStringLiteral("%1 no longer holds the event").arg(m_path));
    Part* part = editable(vevent, error);
    if (!part)
        return false;
    IcalEventChange::change(*part->text, vevent, was, now);
    return true;
}

bool IcalFileChange::addOverride(icalcomponent* master, const CalendarEvent& occurrence, const CalendarEvent& now,
                                 QString* error)
{
    Part* part = editable(master, error);
    if (!part)
        return false;
    part->after += IcalEventChange::overrideOf(*part->text, master, occurrence, now);
    return true;
}

bool IcalFileChange::exclude(icalcomponent* master, const QDateTime& originalStart, QString* error)
{
    Part* part = editable(master, error);
    if (!part || !remove(originalStart, error))
        return false;
    IcalEventChange::exclude(*part->text, master, originalStart);
    return true;
}

icalcomponent* IcalFileChange::copyOf(size_t fingerprint) const
{
    // Of copies alike, the one read last is the one a reading shows.
    const auto found = std::find_if(m_parts.rbegin(), m_parts.rend(),
                                    [&](const Part& part) { return part.fingerprint == fingerprint; });
    return found == m_parts.rend() ? nullptr : found->vevent;
}

std::optional<size_t> IcalFileChange::fingerprintOf(icalcomponent* vevent) const
{
    const auto found =
        std::find_if(m_parts.begin(), m_parts.end(), [&](const Part& part) { return part.vevent == vevent; });
    return found == m_parts.end() ? std::nullopt : std::optional(found->fingerprint);
}

bool IcalFileChange::writable(QString* error) const
{
    QString reason;
    return FileIO::mayReplace(m_path, &reason) || fail(error, QStringLiteral("%1: %2").arg(m_path, reason));
}

bool IcalFileChange::remove(std::optional<QDateTime> originalStart, QString* error)
{
    QList<Part*> going;
    for (Part& part : m_parts) {
        // Every copy of the occurrence's override goes, not only the winning one.
        if (originalStart &&
            IcalOverrides::replacedBy(part.vevent, IcalOverrides::ofDates(m_master ? m_master : part.vevent)) !=
                originalStart)
            continue;
        if (!part.whole)
            return refuse(QStringLiteral("an END line inside it does not match"), error);
        going.append(&part);
    }
    for (Part* part : going)
        part->removed = true;
    return true;
}

bool IcalFileChange::changed() const
{
    return std::any_of(m_parts.begin(), m_parts.end(),
                       [](const Part& part) { return part.removed || part.text || !part.after.isEmpty(); });
}

bool IcalFileChange::store(QString* error)
{
    struct Edit {
        qint64 begin;
        qint64 end;
        QByteArray text;
    };
    QList<Edit> edits;
    QSet<qint64> gone;
    for (const Part& part : m_parts) {
        if (part.removed) {
            edits.append({part.begin, part.end, {}});
            gone.insert(part.begin);
        } else if (part.text) {
            edits.append({part.begin, part.end, part.text->bytes()});
        }
        if (!part.after.isEmpty() && !part.removed)
            edits.append({part.end, part.end, part.after});
    }
    if (edits.isEmpty())
        return true;
    if (!writable(error))
        return false;
    // What is added after a part comes before a removal of the part that follows it.
    std::sort(edits.begin(), edits.end(),
              [](const Edit& a, const Edit& b) { return std::pair(a.begin, a.end) < std::pair(b.begin, b.end); });
    const bool holdsAnything = std::any_of(m_children.begin(), m_children.end(), [&](const Child& child) {
        return child.name != "VTIMEZONE" && !gone.contains(child.begin);
    });
    if (!holdsAnything && !m_damaged) {
        QString reason;
        return FileIO::removeFile(m_path, &reason) ||
               fail(error, QStringLiteral("cannot remove %1: %2").arg(m_path, reason));
    }
    QByteArray written;
    qint64 at = 0;
    for (const Edit& edit : edits) {
        written += QByteArrayView(m_bytes).sliced(at, edit.begin - at);
        written += edit.text;
        at = edit.end;
    }
    written += QByteArrayView(m_bytes).sliced(at);
    return FileIO::writeAtomically(m_path, written, error);
}
