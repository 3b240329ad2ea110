#pragma once

#include <QList>
#include <QString>

#include <libical/ical.h>

#include <memory>

// Walking and changing libical's trees. libical keeps one cursor per component over its
// children and one over its properties, and many of its calls move it (reading an event's
// start walks the event's properties), so a walk that calls anything touching the same
// component loses its place and ends early. Every walk here takes its list first.
namespace IcalTree {

struct Free {
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};
// A component no other owns: a parsed file, a new calendar.
using Owned = std::unique_ptr<icalcomponent, Free>;

// The children of `kind` (ICAL_ANY_COMPONENT for all), in file order.
QList<icalcomponent*> children(icalcomponent* parent, icalcomponent_kind kind);
// The properties of `kind`, in file order.
QList<icalproperty*> properties(icalcomponent* component, icalproperty_kind kind);

void removeProperties(icalcomponent* component, icalproperty_kind kind);
// Takes the child out of its parent and frees it.
void removeChild(icalcomponent* parent, icalcomponent* child);

// libical's text, or "" for none.
QString text(const char* value);

}  // namespace IcalTree
