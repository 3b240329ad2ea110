#include "Platform/Calendar/IcalRoundTrip.h"

#include "Platform/Calendar/IcalSplitter.h"

#include <QHash>

namespace {
// A line without its folds and its end.
QByteArray unfolded(QByteArray line)
{
    for (const char* fold : {"\n ", "\n\t"})
        line.replace(fold, "");
    while (line.endsWith('\n'))
        line.chop(1);
    return line;
}

// The line as libical writes it: a BEGIN or END line in upper case, a property parsed and
// written again; one it cannot read as a property stays as it is.
QByteArray normalized(const QByteArray& line)
{
    if (const std::optional<IcalSplitter::Boundary> boundary = IcalSplitter::boundaryOf(line))
        return (boundary->begin ? "BEGIN:" : "END:") + boundary->name;
    icalproperty* property = icalproperty_new_from_string(line.constData());
    if (!property)
        return line;
    const char* written = icalproperty_as_ical_string(property);
    QByteArray text = unfolded(QByteArray(written ? written : "").replace("\r\n", "\n"));
    icalproperty_free(property);
    return text;
}

IcalRoundTrip::Lines linesOf(const char* text)
{
    IcalRoundTrip::Lines lines;
    IcalSplitter splitter({}, {[](int) {}, [](int, const QByteArray&) {}, [](int) {},
                               [&](const QByteArray& line) { lines.append(line); }});
    splitter.add(QByteArrayView(text ? text : ""));
    splitter.finish();
    return lines;
}

// Takes one of `line` out of the counted lines; false when there is none left.
bool takeOne(QHash<QByteArray, int>& counted, const QByteArray& line)
{
    const auto found = counted.find(line);
    if (found == counted.end() || *found == 0)
        return false;
    --*found;
    return true;
}
}  // namespace

namespace IcalRoundTrip {

std::optional<QString> dropped(const Lines& lines, icalcomponent* root)
{
    // Most lines come back as they were; only the others are parsed again.
    QHash<QByteArray, int> written;
    for (const QByteArray& line : linesOf(icalcomponent_as_ical_string(root)))
        ++written[unfolded(line)];
    QList<QByteArray> unmatched;
    for (const QByteArray& line : lines) {
        const QByteArray plain = unfolded(line);
        if (!plain.trimmed().isEmpty() && !takeOne(written, plain))
            unmatched.append(plain);
    }
    if (unmatched.isEmpty())
        return std::nullopt;
    QHash<QByteArray, int> rewritten;
    for (auto line = written.cbegin(); line != written.cend(); ++line)
        if (line.value() > 0)
            rewritten[normalized(line.key())] += line.value();
    QList<QByteArray> lost;
    for (const QByteArray& line : unmatched)
        if (!takeOne(rewritten, normalized(line)))
            lost.append(line);
    if (lost.isEmpty())
        return std::nullopt;
    constexpr qsizetype kShown = 60;
    const QByteArray first = lost.first().size() > kShown ? lost.first().left(kShown) + "…" : lost.first();
    return QStringLiteral("libical would not write back %1 of its lines, the first \"%2\"")
        .arg(lost.size())
        .arg(QString::fromUtf8(first));
}

}  // namespace IcalRoundTrip
