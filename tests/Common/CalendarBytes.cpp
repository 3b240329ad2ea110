#include "Common/CalendarBytes.h"

#include <algorithm>

namespace {
// The end of the line holding `at`, its line end included.
qsizetype lineEnd(const QByteArray& text, qsizetype at)
{
    const qsizetype lf = text.indexOf('\n', at), cr = text.indexOf('\r', at);
    if (lf < 0 && cr < 0)
        return text.size();
    if (cr >= 0 && (lf < 0 || cr < lf))
        return cr + (cr + 1 < text.size() && text.at(cr + 1) == '\n' ? 2 : 1);
    return lf + 1;
}
}  // namespace

namespace CalendarBytes {

std::optional<QString> changedOutside(const QByteArray& before, const QByteArray& after, const QByteArray& uid)
{
    const QByteArray upper = before.toUpper();
    qsizetype first = before.size(), last = 0;
    // The file without the event's components: what a removal leaves.
    QByteArray without;
    for (qsizetype at = upper.indexOf("UID:" + uid.toUpper()); at >= 0;
         at = upper.indexOf("UID:" + uid.toUpper(), at + 1)) {
        const qsizetype value = at + 4 + uid.size();
        if (value < upper.size() && upper.at(value) != '\r' && upper.at(value) != '\n')
            continue;
        const qsizetype begin = upper.lastIndexOf("BEGIN:VEVENT", at),
                        end = lineEnd(before, upper.indexOf("END:VEVENT", at));
        without += before.mid(last, begin - last);
        first = std::min(first, begin);
        last = std::max(last, end);
    }
    if (last > 0 && after == without + before.mid(last))
        return std::nullopt;
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype prefix = 0;
    while (prefix < shorter && before.at(prefix) == after.at(prefix))
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix && before.at(before.size() - 1 - suffix) == after.at(after.size() - 1 - suffix))
        ++suffix;
    if (prefix == before.size() && suffix == 0 && before.size() == after.size())
        return std::nullopt;
    if (first <= prefix && before.size() - suffix <= last)
        return std::nullopt;
    return QStringLiteral("changed from byte %1 to %2 of %3, outside bytes %4 to %5 of the event")
        .arg(prefix)
        .arg(before.size() - suffix)
        .arg(before.size())
        .arg(first)
        .arg(last);
}

}  // namespace CalendarBytes
