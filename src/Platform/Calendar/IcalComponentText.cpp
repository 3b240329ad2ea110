#include "Platform/Calendar/IcalComponentText.h"

#include "Platform/Calendar/IcalContentLine.h"
#include "Platform/Calendar/IcalSplitter.h"

#include <algorithm>

namespace {
QByteArray lineEndOf(const QByteArray& bytes)
{
    const qsizetype at = bytes.indexOf('\n'), cr = bytes.indexOf('\r');
    if (cr >= 0 && (at < 0 || cr < at))
        return at == cr + 1 ? QByteArray("\r\n") : QByteArray("\r");
    return at >= 0 ? QByteArray("\n") : QByteArray("\r\n");
}
}  // namespace

IcalComponentText::IcalComponentText(QByteArray bytes) : m_bytes(std::move(bytes)), m_lineEnd(lineEndOf(m_bytes))
{
    int depth = 0;
    IcalSplitter splitter({}, {[](int) {}, [](const IcalSplitter::Child&) {}, [](int) {},
                               [&](const QByteArray& line, qint64 begin, qint64 end) {
                                   const QByteArray text = IcalContentLine::unfolded(line);
                                   const std::optional<IcalSplitter::Boundary> boundary =
                                       IcalSplitter::boundaryOf(line);
                                   const bool own = depth == 1 && !boundary;
                                   if (boundary && depth == 1 && !m_propertiesEnd)
                                       m_propertiesEnd = begin;
                                   if (boundary)
                                       depth += boundary->begin ? 1 : -1;
                                   const QByteArray name = own ? IcalSplitter::nameOf(line) : QByteArray();
                                   m_lines.append({name, text, qsizetype(begin), qsizetype(end)});
                               }});
    splitter.add(m_bytes);
    splitter.finish();
    m_longLines = splitter.longLines();
    if (!m_propertiesEnd)
        m_propertiesEnd = m_bytes.size();
}

std::optional<QString> IcalComponentText::damage() const
{
    if (m_bytes.contains('\0'))
        return QStringLiteral("it holds a NUL byte");
    if (m_longLines)
        return QStringLiteral("a line is longer than %1 KiB").arg(IcalSplitter::kMaxLineBytes >> 10);
    // Which of two a reader takes is its own choice: a time written again beside it would be
    // read in the other's form.
    for (const char* name : {"DTSTART", "DTEND", "DURATION", "RECURRENCE-ID"})
        if (std::count_if(m_lines.begin(), m_lines.end(), [&](const Line& line) { return line.name == name; }) > 1)
            return QStringLiteral("it holds %1 more than once").arg(QLatin1String(name));
    return std::nullopt;
}

std::optional<QByteArray> IcalComponentText::line(const QByteArray& name) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i)
        if (m_lines.at(i).name == name && !m_replaced.contains(i))
            return m_lines.at(i).text;
    return std::nullopt;
}

void IcalComponentText::set(const QByteArray& name, const QList<QByteArray>& lines)
{
    bool placed = false;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (m_lines.at(i).name != name)
            continue;
        m_replaced.insert(i, placed ? QByteArray() : written(lines));
        placed = true;
    }
    if (!placed)
        m_added += written(lines);
}

void IcalComponentText::add(const QByteArray& line)
{
    m_added += written({line});
}

QByteArray IcalComponentText::written(const QList<QByteArray>& lines) const
{
    QByteArray text;
    for (const QByteArray& line : lines)
        text += IcalContentLine::folded(line, m_lineEnd);
    return text;
}

QByteArray IcalComponentText::bytes() const
{
    QByteArray changed;
    qsizetype at = 0;
    bool added = false;
    const auto copyTo = [&](qsizetype end) {
        if (!added && m_propertiesEnd <= end) {
            changed += QByteArrayView(m_bytes).sliced(at, m_propertiesEnd - at);
            changed += m_added;
            at = m_propertiesEnd;
            added = true;
        }
        changed += QByteArrayView(m_bytes).sliced(at, end - at);
        at = end;
    };
    for (auto replaced = m_replaced.cbegin(); replaced != m_replaced.cend(); ++replaced) {
        const Line& line = m_lines.at(replaced.key());
        copyTo(line.begin);
        changed += replaced.value();
        at = line.end;
    }
    copyTo(m_bytes.size());
    return changed;
}
