#pragma once

#include "Platform/Calendar/IcalContentLine.h"
#include "Platform/Calendar/IcalSplitter.h"

#include <QByteArray>
#include <QByteArrayView>

#include <algorithm>

// The lines that are a component's own in its text (as IcalSplitter hands it over: LF line
// ends, folds kept): its BEGIN and END lines and its properties, not the lines of the
// components inside it (alarms), whose properties are not its own.
namespace IcalOwnLines {

// Calls `take(line, name)` with each of them in order, the line with its folds and LF, its
// property name in upper case ("BEGIN" and "END" for the component's own boundaries).
template <typename Take>
void forEach(const QByteArray& text, Take&& take)
{
    int depth = 0;
    for (qsizetype begin = 0; begin < text.size();) {
        const qsizetype end = std::min(IcalContentLine::lineEnd(text, begin) + 1, text.size());
        const QByteArrayView line(text.constData() + begin, end - begin);
        begin = end;
        const QByteArray name = IcalSplitter::nameOf(line);
        const bool opens = name == "BEGIN", closes = name == "END";
        if (closes)
            --depth;
        if (opens || closes ? depth == 0 : depth == 1)
            take(line, name);
        if (opens)
            ++depth;
    }
}

// The line without its folds and line end, as IcalContentLine::unfolded, with no copying over
// for one that has no folds.
inline QByteArray unfolded(QByteArrayView line)
{
    const qsizetype lineEnd = line.indexOf('\n');
    if (lineEnd < 0 || lineEnd == line.size() - 1)
        return line.first(lineEnd < 0 ? line.size() : lineEnd).toByteArray();
    return IcalContentLine::unfolded(line.toByteArray());
}

}  // namespace IcalOwnLines
