#pragma once

#include "Platform/Calendar/IcalComponentText.h"
#include "Platform/Calendar/IcalOverrides.h"
#include "Platform/Calendar/IcalTree.h"
#include "Skills/CalendarEvent.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

// One file's part in a change to one event: the file read whole, the VEVENTs of the event's
// UID parsed where they stand, and their text changed in place (IcalEventChange), so that
// every other byte of the file stays as it was: other events, zones, unknown components and
// properties, empty values, the calendar's own lines, folds, line ends and order. A change is
// refused only when the event's own text cannot be changed safely (an END inside it that does
// not match, an over-long line, a NUL byte); the file is then left as it was. Files of up to
// IcalReader::kMaxListedBytes, as large as a listing reads.
class IcalFileChange {
public:
    // The file read for a change to the event `uid`; nothing, with the reason, when it cannot be
    // read (not a regular file, too large).
    static std::unique_ptr<IcalFileChange> open(const QString& path, const QString& uid, QString* error);

    // The winning copy of the event's own VEVENT in the file, or null.
    icalcomponent* master() const { return m_master; }
    // Its overrides in the file: of the master's dates, or, without one, each of its own.
    const IcalOverrides::Overrides& overrides() const { return m_overrides; }

    // The VEVENT of the event whose whole text has this fingerprint (IcalReader::fingerprintOf),
    // or null: what a reading showed, found again.
    icalcomponent* copyOf(size_t fingerprint) const;
    std::optional<size_t> fingerprintOf(icalcomponent* vevent) const;

    // Changes the VEVENT (the master or an override) from saying `was` to saying `now`.
    bool change(icalcomponent* vevent, const CalendarEvent& was, const CalendarEvent& now, QString* error);
    // Adds an override of the series' occurrence `occurrence`, saying `now`, after the series.
    bool addOverride(icalcomponent* master, const CalendarEvent& occurrence, const CalendarEvent& now, QString* error);
    // Takes the occurrence out of the series; its overrides in the file go.
    bool exclude(icalcomponent* master, const QDateTime& originalStart, QString* error);
    // Takes out every copy of the override of the occurrence, or without one, every VEVENT of
    // the event.
    bool remove(std::optional<QDateTime> originalStart, QString* error);

    // Whether anything is to be written.
    bool changed() const;
    // Whether the file may be written (a read-only file, folder or mount may not), with the
    // system's reason.
    bool writable(QString* error) const;
    // Writes the file atomically with its changes, or removes it when it holds nothing but time
    // zones any more (unless it is damaged: what was lost in it stays). A symbolic link is
    // followed: its file is written, or removed with the link.
    bool store(QString* error);

private:
    // A VEVENT of the event: where its bytes are, and what becomes of them.
    struct Part {
        icalcomponent* vevent;
        size_t fingerprint;
        qint64 begin;
        qint64 end;
        bool whole;
        std::optional<IcalComponentText> text = {};  // once changed
        bool removed = false;
        QByteArray after = {};  // new components after it
    };
    // A child of a calendar of the file.
    struct Child {
        QByteArray name;
        qint64 begin;
    };

    IcalFileChange(QString path, QString uid, QByteArray bytes);
    Part* partOf(icalcomponent* vevent);
    // The VEVENT's part with its text, for a change; nothing, with the reason, when it cannot be
    // changed safely. One without UID is given the name it is known by, which its text made.
    Part* editable(icalcomponent* vevent, QString* error);
    bool refuse(const QString& why, QString* error) const;

    const QString m_path;
    const QString m_uid;
    const QByteArray m_bytes;
    bool m_damaged = false;
    QList<Child> m_children;
    std::vector<IcalTree::Owned> m_calendars;  // holding the parts, with the zones of their calendar
    std::vector<Part> m_parts;
    icalcomponent* m_master = nullptr;
    IcalOverrides::Overrides m_overrides;
};
