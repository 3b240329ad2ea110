#include "UI/Models/LogViewText.h"

#include <QStringList>

namespace LogViewText {

TextTint tintIn(std::span<const CategoryColour> table, const QString& category)
{
    for (const CategoryColour& row : table)
        if (category == QLatin1String(row.category))
            return row.colour;
    return TextTint::secondary();
}

TextTint categoryTint(const QString& category)
{
    using ThemePalette::Named;
    static constexpr CategoryColour table[] = {
        {"error", Named::red},   {"fsm", Named::blue},      {"tts", Named::purple}, {"llm", Named::green},
        {"turn", Named::orange}, {"barge-in", Named::pink}, {"gaze", Named::cyan},  {"camera", Named::teal},
    };
    return tintIn(table, category);
}

TextTint messageTint(const QString& category)
{
    return category == QLatin1String("error") ? TextTint(ThemePalette::Named::red) : TextTint::primary();
}

QString copyAll(const QList<PipelineLog::Entry>& entries)
{
    QStringList lines;
    lines.reserve(entries.size());
    for (const PipelineLog::Entry& entry : entries)
        lines << entry.line();
    return lines.join(QLatin1Char('\n'));
}

}  // namespace LogViewText
