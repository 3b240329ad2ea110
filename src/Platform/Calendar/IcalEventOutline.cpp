#include "Platform/Calendar/IcalEventOutline.h"

#include "Platform/Calendar/IcalContentLine.h"
#include "Platform/Calendar/IcalOwnLines.h"

#include <QHash>
#include <QList>

#include <utility>

namespace {
// Whether a line names a zone (a TZID parameter, any case), which a listing looks at on every
// property. One folded before its value is kept whatever it names.
bool namesAZone(QByteArrayView line)
{
    bool quoted = false;
    for (qsizetype at = 0; at < line.size() && (quoted || line.at(at) != ':'); ++at) {
        quoted ^= line.at(at) == '"';
        if (line.at(at) == '\n' || (at + 4 <= line.size() && qstrnicmp(line.data() + at, "TZID", 4) == 0))
            return true;
    }
    return false;
}

// The UID of a UID line that libical's parser reads as it stands: without parameters, folds or
// escapes, of the characters UIDs are made of; nothing for any other, which libical reads.
std::optional<QString> plainUid(QByteArrayView line)
{
    constexpr qsizetype kValue = 4;  // after "UID:", in any case
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.size() <= kValue || line.at(kValue - 1) != ':')
        return std::nullopt;
    const QByteArrayView value = line.sliced(kValue);
    for (const char c : value)
        if (c <= ' ' || c > '~' || c == '\\' || c == ',' || c == ';' || c == '"')
            return std::nullopt;
    return QString::fromLatin1(value);
}

// What a VEVENT's own line is to a listing, by its name.
enum class Role { identity, field, other };

Role roleOf(const QByteArray& name)
{
    static const QHash<QByteArray, Role> kRoles = {{"BEGIN", Role::identity},    {"UID", Role::identity},
                                                   {"SEQUENCE", Role::identity}, {"RECURRENCE-ID", Role::identity},
                                                   {"DTSTART", Role::identity},  {"RRULE", Role::identity},
                                                   {"RDATE", Role::identity},    {"DTEND", Role::field},
                                                   {"DURATION", Role::field},    {"SUMMARY", Role::field},
                                                   {"LOCATION", Role::field},    {"DESCRIPTION", Role::field},
                                                   {"EXDATE", Role::field}};
    return kRoles.value(name, Role::other);
}

// The parameters of a line as written: lines with the same ones name the same zone.
QByteArray zoneOf(QByteArrayView line)
{
    return IcalContentLine::split(IcalOwnLines::unfolded(line)).params;
}

}  // namespace

IcalEventOutline IcalEventOutline::of(const QByteArray& text)
{
    struct Line {
        QByteArrayView text;
        QByteArray name;
        bool identity;
        bool zoned;
    };
    IcalEventOutline outline;
    QList<Line> lines;
    QByteArrayView end;
    bool named = false;
    IcalOwnLines::forEach(text, [&](QByteArrayView line, const QByteArray& name) {
        if (name == "END") {
            end = line;
            return;
        }
        const Role role = roleOf(name);
        const bool zoned = namesAZone(line);
        if (role != Role::other || zoned)
            lines.append({line, name, role == Role::identity, zoned});
        if (role != Role::other)
            outline.dates.take(line, name);
        if (name == "UID" && !std::exchange(named, true))
            outline.uid = plainUid(line);
        outline.override = outline.override || name == "RECURRENCE-ID";
        outline.ofASeries = outline.ofASeries || outline.override || name == "RRULE" || name == "RDATE";
    });
    if (!named)
        return outline;
    // The zones its identity names, then each named elsewhere with the lines of its name.
    QList<QByteArray> zones;
    for (const Line& line : std::as_const(lines))
        if (line.identity && line.zoned)
            zones.append(zoneOf(line.text));
    QList<QByteArray> names;
    for (const Line& line : std::as_const(lines)) {
        if (line.identity || !line.zoned)
            continue;
        if (QByteArray zone = zoneOf(line.text); !zones.contains(zone)) {
            zones.append(std::move(zone));
            names.append(line.name);
        }
    }
    outline.listed.reserve(text.size());
    for (const bool identity : {true, false}) {
        for (const Line& line : std::as_const(lines))
            if ((line.identity || names.contains(line.name)) == identity)
                outline.listed += line.text;
        if (identity)
            outline.identityEnd = outline.listed.size();
    }
    outline.endLine = outline.listed.size();
    outline.listed += end;
    return outline;
}

QByteArray IcalEventOutline::identityOf(QByteArrayView listed, qsizetype identityEnd, qsizetype endLine)
{
    QByteArray identity = listed.first(identityEnd).toByteArray();
    identity += listed.sliced(endLine);
    return identity;
}
