#pragma once

#include "Platform/Calendar/IcalIdentity.h"

#include <QHash>
#include <QString>
#include <QStringList>

// Where the events of the calendar folder stand, as of its last reading. An event (its UID)
// may have copies in several files or in one (two exports of one calendar, an edit that left
// the old copy), and so may one occurrence's override; an override may stand in a file without
// its series, detached (an invitation to one occurrence). Of the copies of an event, and of the
// detached overrides of one occurrence, the winning copy counts
// (IcalIdentity::Rank).
class IcalIndex {
public:
    using Rank = IcalIdentity::Rank;
    struct Copy {
        QString file;
        Rank rank;
        bool recurring = false;
    };

    // A VEVENT of the UID that is no override.
    void addMaster(const QString& uid, const QString& file, Rank rank, bool recurring);
    // An override, named `id`, in a file that holds no copy of its series.
    void addDetached(const QString& id, const QString& uid, const QString& file, Rank rank);
    // A file that holds a part of the UID's event that nothing else notes.
    void addFile(const QString& uid, const QString& file);

    // The winning copy of the event, or null.
    const Copy* master(const QString& uid) const;
    // The winning detached override of the occurrence `id`, or null.
    const Copy* detached(const QString& id) const;
    // Every file that holds a part of the event, in the folder's order.
    QStringList filesOf(const QString& uid) const { return m_files.value(uid); }
    // Drops what is noted of the UID's event, which is gone.
    void forget(const QString& uid);

private:
    static void keep(QHash<QString, Copy>& copies, const QString& key, const Copy& copy);

    QHash<QString, Copy> m_masters;
    QHash<QString, Copy> m_detached;
    QHash<QString, QStringList> m_files;
};
