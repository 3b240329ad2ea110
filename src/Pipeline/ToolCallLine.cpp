#include "Pipeline/ToolCallLine.h"

#include "Support/Text.h"

#include <QStringList>

namespace {

const QLatin1String kSkill("skill");

bool isToolCallLine(const QString& line)
{
    const QString trimmed = Text::trimmed(line);
    return trimmed.startsWith(QLatin1Char('{')) && trimmed.contains(kSkill);
}

}  // namespace

namespace ToolCallLine {

bool containsToolCallLine(const QString& text)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    return std::any_of(lines.begin(), lines.end(), isToolCallLine);
}

QString textBeforeToolCall(const QString& text)
{
    QStringList before;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (isToolCallLine(line))
            break;
        before.append(line);
    }
    return Text::trimmed(before.join(QLatin1Char('\n')));
}

std::optional<QString> extractToolCallJSON(const QString& text)
{
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QString trimmed = Text::trimmed(line);
        if (isToolCallLine(trimmed) && trimmed.endsWith(QLatin1Char('}')))
            return trimmed;
    }
    const QString whole = Text::trimmed(text);
    if (whole.startsWith(QLatin1Char('{')) && whole.endsWith(QLatin1Char('}')))
        return whole;
    return std::nullopt;
}

std::optional<qsizetype> heldTailStart(const QString& text)
{
    const qsizetype start = text.lastIndexOf(QLatin1Char('\n')) + 1;
    if (Text::trimmed(text.mid(start)).startsWith(QLatin1Char('{')))
        return start;
    return std::nullopt;
}

}  // namespace ToolCallLine
