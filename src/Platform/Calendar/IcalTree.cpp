#include "Platform/Calendar/IcalTree.h"

namespace IcalTree {

QList<icalcomponent*> children(icalcomponent* parent, icalcomponent_kind kind)
{
    QList<icalcomponent*> found;
    for (icalcomponent* child = icalcomponent_get_first_component(parent, kind); child;
         child = icalcomponent_get_next_component(parent, kind))
        found.append(child);
    return found;
}

QList<icalproperty*> properties(icalcomponent* component, icalproperty_kind kind)
{
    QList<icalproperty*> found;
    for (icalproperty* property = icalcomponent_get_first_property(component, kind); property;
         property = icalcomponent_get_next_property(component, kind))
        found.append(property);
    return found;
}

void removeProperties(icalcomponent* component, icalproperty_kind kind)
{
    for (icalproperty* property : properties(component, kind)) {
        icalcomponent_remove_property(component, property);
        icalproperty_free(property);
    }
}

void removeChild(icalcomponent* parent, icalcomponent* child)
{
    icalcomponent_remove_component(parent, child);
    icalcomponent_free(child);
}

QString text(const char* value)
{
    return value ? QString::fromUtf8(value) : QString();
}

}  // namespace IcalTree
