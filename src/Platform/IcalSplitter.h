#pragma once

#include <QByteArray>
#include <QList>

#include <functional>

// A calendar file taken apart as it is read, one child of a VCALENDAR (a VEVENT, a
// VTIMEZONE, …) at a time, so that a large export is never held whole. It is fed the file's
// lines as they come and hands each child of the kind it wants over as the text of its lines,
// folded lines as they were, for libical to read. The VCALENDARs are the file's root components and those wrapped
// once, where libical finds them too. A child whose END never comes is left out and counted;
// a calendar whose END never comes ends with the file.
class IcalSplitter {
public:
    struct Handlers {
        // A VCALENDAR starts; they are numbered from 0 in the file.
        std::function<void(int calendar)> begin;
        // One of its children of the kind wanted, with the text of its lines.
        std::function<void(int calendar, const QByteArray& text)> child;
        std::function<void(int calendar)> end;
    };

    // `wanted` names the children handed over, in upper case ("VEVENT").
    IcalSplitter(QByteArray wanted, Handlers handlers);

    // The next line of the file, with its line end.
    void add(const QByteArray& line);
    // The end of the file.
    void finish();

    int calendars() const { return m_calendars; }
    int unterminated() const { return m_unterminated; }

private:
    // One line as libical reads it: a line with the folded lines that continue it.
    void take(const QByteArray& line);
    // Drops the child being read, whose END did not come.
    void dropChild();

    const QByteArray m_wanted;
    const Handlers m_handlers;
    QByteArray m_pending;  // the line being continued by folded ones
    QList<QByteArray> m_open;  // the names of the components open, outermost first
    qsizetype m_calendar = -1;  // where the VCALENDAR being read is in m_open
    qsizetype m_child = -1;  // where the child being read is in m_open
    bool m_keep = false;  // whether the child is of the kind wanted
    QByteArray m_text;  // its lines so far
    int m_calendars = 0;
    int m_unterminated = 0;
};
