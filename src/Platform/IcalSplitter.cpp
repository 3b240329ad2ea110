#include "Platform/IcalSplitter.h"

#include <optional>
#include <utility>

namespace {
// BEGIN and END lines are short: a longer line is a property, whatever it starts with.
constexpr qsizetype kMaxBoundaryBytes = 256;

struct Boundary {
    bool begin;
    QByteArray name;  // upper case
};

// What a BEGIN or END line opens or closes; nothing for any other line.
std::optional<Boundary> boundaryOf(const QByteArray& line)
{
    if (line.isEmpty() || line.size() > kMaxBoundaryBytes)
        return std::nullopt;
    const char first = char(line.at(0) | 0x20);
    if (first != 'b' && first != 'e')
        return std::nullopt;
    QByteArray text = line;
    for (const char* fold : {"\r\n ", "\r\n\t", "\n ", "\n\t"})
        text.replace(fold, "");
    text = text.trimmed().toUpper();
    if (text.startsWith("BEGIN:"))
        return Boundary{true, text.mid(6)};
    if (text.startsWith("END:"))
        return Boundary{false, text.mid(4)};
    return std::nullopt;
}
}  // namespace

IcalSplitter::IcalSplitter(QByteArray wanted, Handlers handlers)
    : m_wanted(std::move(wanted)), m_handlers(std::move(handlers))
{
}

void IcalSplitter::add(const QByteArray& line)
{
    if (!m_pending.isEmpty() && (line.startsWith(' ') || line.startsWith('\t'))) {
        m_pending += line;
        return;
    }
    if (!m_pending.isEmpty())
        take(m_pending);
    m_pending = line;
}

void IcalSplitter::finish()
{
    if (!m_pending.isEmpty())
        take(std::exchange(m_pending, QByteArray()));
    if (m_child >= 0)
        dropChild();
    if (m_calendar >= 0)
        m_handlers.end(m_calendars - 1);
    m_calendar = -1;
    m_open.clear();
}

void IcalSplitter::dropChild()
{
    ++m_unterminated;
    m_open.resize(m_child);
    m_child = -1;
    m_text.clear();
}

void IcalSplitter::take(const QByteArray& line)
{
    const std::optional<Boundary> boundary = boundaryOf(line);
    if (m_child >= 0) {
        const qsizetype closed = boundary && !boundary->begin ? m_open.lastIndexOf(boundary->name) : -1;
        if (closed < 0 || closed >= m_child) {
            if (m_keep)
                m_text += line;
            if (boundary && boundary->begin)
                m_open.append(boundary->name);
            else if (closed >= 0)
                m_open.resize(closed);
            if (closed == m_child) {
                m_child = -1;
                if (m_keep)
                    m_handlers.child(m_calendars - 1, std::exchange(m_text, QByteArray()));
            }
            return;
        }
        // It closes a component around the child, whose own END never came.
        dropChild();
    }
    // Outside a child only components count: a calendar's properties say nothing needed here.
    if (!boundary)
        return;
    if (boundary->begin) {
        if (m_calendar >= 0) {
            m_child = m_open.size();
            m_keep = boundary->name == m_wanted;
            if (m_keep)
                m_text = line;
        } else if (boundary->name == "VCALENDAR" && m_open.size() <= 1) {
            m_calendar = m_open.size();
            m_handlers.begin(m_calendars++);
        }
        m_open.append(boundary->name);
        return;
    }
    const qsizetype closed = m_open.lastIndexOf(boundary->name);
    if (closed < 0)
        return;
    if (m_calendar >= closed) {
        m_calendar = -1;
        m_handlers.end(m_calendars - 1);
    }
    m_open.resize(closed);
}
