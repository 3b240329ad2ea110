#include "Platform/Calendar/IcalIdentity.h"

#include <QCryptographicHash>

namespace IcalIdentity {

QString uidOf(icalcomponent* vevent)
{
    if (const char* uid = icalcomponent_get_uid(vevent); uid && *uid)
        return QString::fromUtf8(uid);
    const char* text = icalcomponent_as_ical_string(vevent);
    const QByteArray digest = QCryptographicHash::hash(text ? text : "", QCryptographicHash::Sha1).toHex();
    return QStringLiteral("no-uid-") + QLatin1String(digest.left(20));
}

bool wins(const Rank& rank, const Rank& held)
{
    if (rank.sequence != held.sequence)
        return rank.sequence > held.sequence;
    return rank.position >= held.position;
}

Rank rankOf(const Component& component)
{
    return {icalcomponent_get_sequence(component.vevent), component.position};
}

Component masterOf(const QList<Component>& components, const QString& uid)
{
    Component winner;
    for (const Component& component : components)
        if (!icalcomponent_get_first_property(component.vevent, ICAL_RECURRENCEID_PROPERTY) &&
            uidOf(component.vevent) == uid && (!winner.vevent || wins(rankOf(component), rankOf(winner))))
            winner = component;
    return winner;
}

}  // namespace IcalIdentity
