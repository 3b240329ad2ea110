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

// A text in upper case without its folds (a line end and the blank after it), and where each of
// its bytes stands in the text.
struct Unfolded {
    QByteArray text;
    QList<qsizetype> at;
};

Unfolded unfolded(const QByteArray& text)
{
    Unfolded found;
    for (qsizetype at = 0; at < text.size();) {
        const char c = text.at(at);
        if (c == '\r' || c == '\n') {
            const qsizetype next = at + (c == '\r' && at + 1 < text.size() && text.at(at + 1) == '\n' ? 2 : 1);
            if (next < text.size() && (text.at(next) == ' ' || text.at(next) == '\t')) {
                at = next + 1;
                continue;
            }
        }
        found.text += c;
        found.at.append(at++);
    }
    found.text = found.text.toUpper();
    found.at.append(text.size());
    return found;
}
}  // namespace

namespace CalendarBytes {

QList<Span> eventsOf(const QByteArray& text, const QByteArray& uid)
{
    const Unfolded read = unfolded(text);
    // Each line: where it starts in the unfolded text, and what it says without blanks around it.
    QList<std::pair<qsizetype, QByteArray>> lines;
    for (qsizetype at = 0; at < read.text.size();) {
        qsizetype end = at;
        while (end < read.text.size() && read.text.at(end) != '\r' && read.text.at(end) != '\n')
            ++end;
        lines.append({at, read.text.mid(at, end - at).trimmed()});
        at = end + 1;
    }
    const QByteArray uidLine = "UID:" + uid.toUpper();
    QList<Span> spans;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines.at(i).second != uidLine)
            continue;
        qsizetype begin = i, end = i;
        while (begin >= 0 && lines.at(begin).second != "BEGIN:VEVENT")
            --begin;
        while (end < lines.size() && lines.at(end).second != "END:VEVENT")
            ++end;
        const Span span{begin < 0 ? 0 : read.at.at(lines.at(begin).first),
                        end == lines.size() ? text.size() : lineEnd(text, read.at.at(lines.at(end).first))};
        // Two UID lines of one event (one an alarm's) make one span.
        if (!spans.isEmpty() && span.begin < spans.last().end)
            spans.last().end = std::max(spans.last().end, span.end);
        else
            spans.append(span);
    }
    return spans;
}

std::optional<QString> changedOutside(const QByteArray& before, const QByteArray& after, const QByteArray& uid)
{
    const QList<Span> spans = eventsOf(before, uid);
    const qsizetype first = spans.isEmpty() ? before.size() : spans.first().begin;
    const qsizetype last = spans.isEmpty() ? before.size() : spans.last().end;
    // What stands before the first and after the last stays, whatever comes between.
    if (spans.isEmpty()
            ? after == before
            : after.size() >= first + before.size() - last && after.startsWith(QByteArrayView(before).first(first)) &&
                  after.endsWith(QByteArrayView(before).sliced(last)))
        return std::nullopt;
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype prefix = 0;
    while (prefix < shorter && before.at(prefix) == after.at(prefix))
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix && before.at(before.size() - 1 - suffix) == after.at(after.size() - 1 - suffix))
        ++suffix;
    return QStringLiteral("changed from byte %1 to %2 of %3, outside bytes %4 to %5 of the event")
        .arg(prefix)
        .arg(before.size() - suffix)
        .arg(before.size())
        .arg(first)
        .arg(last);
}

}  // namespace CalendarBytes
