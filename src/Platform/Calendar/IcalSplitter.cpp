#include "Platform/Calendar/IcalSplitter.h"

#include <optional>
#include <utility>

namespace {
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// Whether the line's property name is BEGIN or END.
bool namesABoundary(const QByteArray& line)
{
    const QByteArray name = IcalSplitter::nameOf(line);
    return name == "BEGIN" || name == "END";
}

// The components a calendar holds, which never stand inside one another: one beginning
// inside another means the END of that one never came.
bool childOfACalendar(const QByteArray& name)
{
    for (const char* kind : {"VEVENT", "VTODO", "VJOURNAL", "VFREEBUSY", "VTIMEZONE", "VAVAILABILITY", "VCALENDAR"})
        if (name == kind)
            return true;
    return false;
}
}  // namespace

QByteArray IcalSplitter::nameOf(QByteArrayView line)
{
    // Found without reading further into a long line: a name is short.
    constexpr qsizetype kLongestName = 64;
    char name[kLongestName];
    qsizetype length = 0;
    for (qsizetype at = 0; at < line.size() && length < kLongestName; ++at) {
        const char c = line.at(at);
        if (c == ';' || c == ':')
            return QByteArray(name, length).trimmed().toUpper();
        // A fold continues the line.
        if (c == '\n' && at + 1 < line.size() && (line.at(at + 1) == ' ' || line.at(at + 1) == '\t'))
            ++at;
        else
            name[length++] = c;
    }
    return {};
}

std::optional<IcalSplitter::Boundary> IcalSplitter::boundaryOf(const QByteArray& line)
{
    if (line.isEmpty())
        return std::nullopt;
    const char first = char(line.at(0) | 0x20);
    if ((first != 'b' && first != 'e') || !namesABoundary(line))
        return std::nullopt;
    QByteArray text = line;
    for (const char* fold : {"\n ", "\n\t"})
        text.replace(fold, "");
    text = text.trimmed().toUpper();
    qsizetype at = 0;
    while (at < text.size() && text.at(at) != ';' && text.at(at) != ':')
        ++at;
    const bool begin = text.left(at).trimmed() == "BEGIN";
    // The value follows the colon after the parameters, whose quoted values may hold colons.
    for (bool quoted = false; at < text.size() && (quoted || text.at(at) != ':'); ++at)
        quoted ^= text.at(at) == '"';
    return Boundary{begin, text.mid(at + 1).trimmed()};
}

IcalSplitter::IcalSplitter(QList<QByteArray> wanted, Handlers handlers)
    : m_wanted(std::move(wanted)), m_handlers(std::move(handlers))
{
}

void IcalSplitter::add(QByteArrayView bytes)
{
    const char* const data = bytes.data();
    const char* at = data;
    const char* const end = at + bytes.size();
    const auto offset = [&](const char* p) { return m_read + (p - data); };
    if (at < end && std::exchange(m_afterCR, false) && *at == '\n') {
        // The LF of a CRLF cut between two pieces ends the line before.
        if (m_pendingEnd == m_read)
            ++m_pendingEnd;
        m_lineBegin = offset(++at);
    }
    while (at < end) {
        const char* stop = at;
        while (stop < end && *stop != '\n' && *stop != '\r')
            ++stop;
        if (!m_dropping) {
            if (m_line.size() + (stop - at) > kMaxLineBytes) {
                ++m_longLines;
                m_dropping = true;
                m_line.clear();
            } else {
                m_line.append(at, stop - at);
            }
        }
        if (stop == end)
            break;
        // A CR ends the line, with the LF that follows it.
        if (*stop == '\r') {
            if (stop + 1 == end)
                m_afterCR = true;
            else if (stop[1] == '\n')
                ++stop;
        }
        if (!m_dropping)
            physical(std::exchange(m_line, QByteArray()) + '\n', offset(stop + 1));
        m_dropping = false;
        at = stop + 1;
        m_lineBegin = offset(at);
    }
    m_read += bytes.size();
}

void IcalSplitter::finish()
{
    if (!m_line.isEmpty() && !m_dropping)
        physical(std::exchange(m_line, QByteArray()) + '\n', m_read);
    if (!m_pending.isEmpty())
        take(std::exchange(m_pending, QByteArray()), m_pendingBegin, m_pendingEnd);
    if (m_child >= 0)
        dropChild();
    if (m_calendar >= 0) {
        ++m_unendedCalendars;
        endCalendar();
    }
    m_open.clear();
    m_deeper = 0;
}

void IcalSplitter::physical(const QByteArray& line, qint64 end)
{
    if (std::exchange(m_firstLine, false) && line.startsWith(kByteOrderMark)) {
        physical(line.mid(qsizetype(sizeof(kByteOrderMark)) - 1), end);
        return;
    }
    if (!m_pending.isEmpty() && (line.startsWith(' ') || line.startsWith('\t'))) {
        m_pending += line;
        m_pendingEnd = end;
        return;
    }
    if (!m_pending.isEmpty())
        take(m_pending, m_pendingBegin, m_pendingEnd);
    m_pending = line;
    m_pendingBegin = m_lineBegin;
    m_pendingEnd = end;
}

void IcalSplitter::take(const QByteArray& line, qint64 begin, qint64 end)
{
    if (m_handlers.line)
        m_handlers.line(line, begin, end);
    const std::optional<Boundary> boundary = boundaryOf(line);
    if (!boundary) {
        if (m_child >= 0 && m_keep)
            m_text += line;
        return;
    }
    if (boundary->begin)
        this->begin(boundary->name, line, begin);
    else
        this->end(boundary->name, line, end);
}

void IcalSplitter::begin(const QByteArray& name, const QByteArray& line, qint64 at)
{
    if (m_child >= 0 && childOfACalendar(name))
        dropChild();
    if (name == "VCALENDAR" && m_calendar >= 0) {
        m_open.resize(m_calendar);
        endCalendar();
    }
    if (m_open.size() + m_deeper >= kMaxDepth) {
        ++m_deeper;
        m_childTooDeep = m_child >= 0;
        return;
    }
    if (m_child >= 0) {
        if (m_keep)
            m_text += line;
    } else if (m_calendar >= 0) {
        m_child = m_open.size();
        m_keep = m_wanted.contains(name);
        m_childTooDeep = false;
        m_childWhole = true;
        m_childBegin = at;
        if (m_keep)
            m_text = line;
    } else if (name == "VCALENDAR" && m_open.size() <= 1) {
        m_calendar = m_open.size();
        m_handlers.begin(m_calendars++);
    }
    m_open.append(name);
}

void IcalSplitter::end(const QByteArray& name, const QByteArray& line, qint64 at)
{
    qsizetype closed = m_open.lastIndexOf(name);
    // Beyond the depth kept, an END closes the innermost, unless it names a child of the
    // calendar that is open: then everything inside that goes with it.
    if (m_deeper > 0 && (closed < 0 || !childOfACalendar(name))) {
        --m_deeper;
        return;
    }
    m_deeper = 0;
    if (closed < 0) {
        // An END of nothing open: libical closes the innermost component with it, which
        // outside a child would be the calendar, and every later event with it.
        if (m_calendar >= 0)
            ++m_damage.misnamed;
        if (m_child < 0)
            return;
        m_childWhole = false;
        closed = m_open.size() - 1;
    } else if (m_child >= 0 && closed >= m_child && closed < m_open.size() - 1) {
        // The components inside it whose END is missing end here, as libical ends them.
        ++m_damage.misnamed;
        m_childWhole = false;
        if (m_keep)
            for (qsizetype inner = m_open.size() - 1; inner > closed; --inner)
                m_text += "END:" + m_open.at(inner) + '\n';
    }
    if (m_child >= 0) {
        if (closed < m_child) {
            // It closes a component around the child, whose own END never came.
            dropChild();
        } else {
            if (m_keep)
                m_text += line;
            const QByteArray childName = m_open.at(m_child);
            m_open.resize(closed);
            if (closed == m_child) {
                m_child = -1;
                QByteArray text = std::exchange(m_text, QByteArray());
                // Too deep for libical, whose reading of it is not handed over.
                if (m_childTooDeep) {
                    ++m_damage.tooDeep;
                    text.clear();
                }
                m_handlers.child({m_calendars - 1, childName, text, m_childBegin, at, m_childWhole && !m_childTooDeep});
            }
            return;
        }
    }
    if (m_calendar >= closed)
        endCalendar();
    m_open.resize(closed);
}

void IcalSplitter::dropChild()
{
    ++m_damage.unterminated;
    m_open.resize(m_child);
    m_deeper = 0;
    m_child = -1;
    m_text.clear();
}

void IcalSplitter::endCalendar()
{
    m_calendar = -1;
    m_handlers.end(m_calendars - 1);
}
