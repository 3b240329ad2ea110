#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <functional>
#include <optional>

// A calendar file taken apart as it is read, one child of a VCALENDAR (a VEVENT, a
// VTIMEZONE, …) at a time, so that a large export is never held whole. It is fed the file's
// bytes as they come and reads them as libical does: a byte-order mark at the start is
// dropped, lines end in CR, LF or CRLF, names are in any case, and an END that names no open
// component closes the innermost. Each child is handed over with where its bytes stand in the
// file, and one of the kinds wanted with the text of its lines (each ended by LF, folded ones
// as they were) for libical to read. The VCALENDARs are the file's root components and those
// wrapped once, where libical finds them too.
//
// A damaged line costs at most the component it is in, and is counted: a child whose END
// never comes (a file cut short, an END of a component around it, a BEGIN of another child of
// the calendar) is left out; a component whose END is missing inside a child is closed where
// an END further out comes, as libical closes it; an END of nothing open outside a child is
// passed over. Components nest at most kMaxDepth deep: a child holding deeper ones is left out,
// so libical never gets a tree deep enough to exhaust its stack. A calendar whose END never
// comes ends with the file, or where the next VCALENDAR begins.
class IcalSplitter {
public:
    // libical takes time growing with the square of a line's length (one line of 16 MiB holds
    // it for over a minute): a longer line is left out and counted, folded ones one by one.
    static constexpr qsizetype kMaxLineBytes = 128 << 10;
    // Real files nest 3 or 4 deep (a wrapper, the calendar, a time zone, its rules).
    static constexpr int kMaxDepth = 8;

    // A child of a VCALENDAR, as it ends.
    struct Child {
        int calendar;  // numbered from 0 in the file
        QByteArray name;  // upper case
        QByteArray text;  // its lines, when it is of a kind wanted and nests no deeper than allowed
        // Its bytes in the file: from its BEGIN line to the end of its END line's line end.
        qint64 begin;
        qint64 end;
        // False when an END line inside it did not match (libical reads its text otherwise than
        // its bytes say).
        bool whole;
    };

    struct Handlers {
        // A VCALENDAR starts; they are numbered from 0 in the file.
        std::function<void(int calendar)> begin;
        // Each of its children.
        std::function<void(const Child& child)> child;
        std::function<void(int calendar)> end;
        // Every line of the file as libical reads it, folded ones joined (their folds kept) and
        // ended by LF, with its bytes in the file (its line end included); none when not set.
        std::function<void(const QByteArray& line, qint64 begin, qint64 end)> line = {};
    };

    // The line's property name as libical reads it, before its parameters or value, folds
    // joined, in upper case; empty where none ends within the longest a name may be.
    static QByteArray nameOf(QByteArrayView line);

    // What a BEGIN or END line opens or closes.
    struct Boundary {
        bool begin;
        QByteArray name;  // upper case
    };
    // Nothing for any other line. As libical reads it, however long the line: the property's
    // name, before its parameters or value, is BEGIN or END whatever its case, and the
    // component's name is its value, which may be empty.
    static std::optional<Boundary> boundaryOf(const QByteArray& line);

    // What a file's damage cost.
    struct Damage {
        int unterminated = 0;  // children left out, their END never came
        int misnamed = 0;  // BEGIN or END lines that do not match
        int tooDeep = 0;  // children left out, nesting deeper than kMaxDepth
        int any() const { return unterminated + misnamed + tooDeep; }
    };

    // `wanted` names the children whose text is handed over, in upper case ("VEVENT").
    IcalSplitter(QList<QByteArray> wanted, Handlers handlers);

    // The next bytes of the file.
    void add(QByteArrayView bytes);
    // The end of the file.
    void finish();

    int calendars() const { return m_calendars; }
    const Damage& damage() const { return m_damage; }
    int longLines() const { return m_longLines; }
    // VCALENDARs that the file ended before their END: what is in them was read, but libical
    // reads none of a whole file that ends so.
    int unendedCalendars() const { return m_unendedCalendars; }

private:
    // One line of the file, ended by LF, which ends at `end` in the file.
    void physical(const QByteArray& line, qint64 end);
    // One line as libical reads it: a line with the folded lines that continue it.
    void take(const QByteArray& line, qint64 begin, qint64 end);
    void begin(const QByteArray& name, const QByteArray& line, qint64 at);
    void end(const QByteArray& name, const QByteArray& line, qint64 at);
    // Drops the child being read, whose END did not come.
    void dropChild();
    void endCalendar();

    const QList<QByteArray> m_wanted;
    const Handlers m_handlers;
    qint64 m_read = 0;  // bytes of the file before the piece being read
    qint64 m_lineBegin = 0;  // where the line being read begins in the file
    QByteArray m_line;  // the line being read
    bool m_firstLine = true;
    bool m_afterCR = false;  // the last line ended in CR: an LF right after it ends nothing
    bool m_dropping = false;  // in the rest of an over-long line
    QByteArray m_pending;  // the line being continued by folded ones
    qint64 m_pendingBegin = 0;
    qint64 m_pendingEnd = 0;
    QList<QByteArray> m_open;  // the names of the components open, outermost first
    int m_deeper = 0;  // components open beyond kMaxDepth, whose names are not kept
    qsizetype m_calendar = -1;  // where the VCALENDAR being read is in m_open
    qsizetype m_child = -1;  // where the child being read is in m_open
    bool m_keep = false;  // whether the child is of the kind wanted
    bool m_childTooDeep = false;
    bool m_childWhole = true;
    qint64 m_childBegin = 0;
    QByteArray m_text;  // its lines so far
    int m_calendars = 0;
    int m_longLines = 0;
    int m_unendedCalendars = 0;
    Damage m_damage;
};
