#include "UI/Models/TimelineText.h"

#include "UI/Models/LogViewText.h"

#include <QStringList>

#include <chrono>

namespace TimelineText {

Delta delta(const PipelineLog::Entry* previous, const PipelineLog::Entry& entry)
{
    using ThemePalette::Named;
    if (!previous)
        return {QStringLiteral("+0ms"), TextTint::secondary()};
    const auto gap = entry.timestamp - previous->timestamp;
    const double exactMs = std::chrono::duration<double, std::milli>(gap).count();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(gap).count();
    const QString text = ms > 999 ? QString::asprintf("+%.2fs", double(ms) / 1000.0) : QStringLiteral("+%1ms").arg(ms);
    if (exactMs < 50)
        return {text, Named::green};
    if (exactMs < 250)
        return {text, Named::blue};
    if (exactMs < 1000)
        return {text, Named::orange};
    return {text, Named::red};
}

TextTint categoryTint(const QString& category)
{
    using ThemePalette::Named;
    // "session" and every category not here are secondary.
    static constexpr LogViewText::CategoryColour table[] = {
        {"error", Named::red},    {"fsm", Named::blue},         {"tts", Named::purple}, {"llm", Named::green},
        {"turn", Named::orange},  {"endpointing", Named::pink}, {"gaze", Named::cyan},  {"stt", Named::teal},
        {"audio", Named::indigo}, {"camera", Named::brown},     {"stats", Named::gray}, {"barge-in", Named::pink},
    };
    return LogViewText::tintIn(table, category);
}

QString header(qsizetype count)
{
    return QStringLiteral("%1 (%2 events)").arg(name()).arg(count);
}

QString name()
{
    return QStringLiteral("Timeline");
}

QString copyAll(const QList<PipelineLog::Entry>& entries)
{
    QStringList lines;
    lines.reserve(entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const PipelineLog::Entry& entry = entries[i];
        lines << PipelineLog::timeOfDay(entry.timestamp) + QLatin1Char(' ') +
                     delta(i > 0 ? &entries[i - 1] : nullptr, entry).text + QStringLiteral(" [") + entry.category +
                     QStringLiteral("] ") + entry.message;
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace TimelineText
