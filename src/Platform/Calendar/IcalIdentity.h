#pragma once

#include <QList>
#include <QString>

#include <libical/ical.h>

#include <compare>

// Which VEVENT is which event. An event is named by its UID; one without (optional before
// RFC 5545, so older exporters and people leave it out) by a name made from its text, the same
// from one reading to the next. The same event can stand in a calendar more than once (an edit
// that left the old copy, two exports of one calendar): of its copies the one with the highest
// SEQUENCE wins, then the one read last.
namespace IcalIdentity {

// Where a copy stands among the copies of its event.
struct Rank {
    int sequence = 0;
    qint64 position = 0;  // in the order the folder is read
    bool operator==(const Rank&) const = default;
};

// Whether a copy of `rank` wins over the copy of `held`: the higher SEQUENCE, then the one read
// last. The one rule for events, overrides and their copies, in a file or in the folder.
bool wins(const Rank& rank, const Rank& held);

// A VEVENT as read, with its place.
struct Component {
    icalcomponent* vevent = nullptr;
    qint64 position = 0;
};

// The UID, or for a VEVENT without one, the name made from its text.
QString uidOf(icalcomponent* vevent);
Rank rankOf(const Component& component);

// The winning copy of the event's own VEVENT (not an override of one of its occurrences).
Component masterOf(const QList<Component>& components, const QString& uid);

}  // namespace IcalIdentity
