#include "Speech/MarkdownStripper.h"

#include "Support/Text.h"

#include <QRegularExpression>

#include <vector>

namespace {

struct Pass {
    QRegularExpression pattern;
    QString replacement;
};

QRegularExpression compiled(const QString& pattern)
{
    // Every Unicode line terminator ends a line for "^", "$" and ".", and \w, \s and \d
    // know every script, so Hangul next to "_" or "*" counts as a word character.
    QRegularExpression expression(QStringLiteral("(*ANY)") + pattern,
                                  QRegularExpression::UseUnicodePropertiesOption);
    expression.optimize();
    return expression;
}

// Order matters: fences before inline code, double markers before single ones, links
// before the line-start marks, and bars and spaces last so they tidy what the rest left.
const std::vector<Pass>& passes()
{
    static const std::vector<Pass> all = {
        {compiled(QStringLiteral(R"(```[\s\S]*?```)")), QStringLiteral(" ")},
        {compiled(QStringLiteral(R"(`([^`]+)`)")), QStringLiteral(R"(\1)")},
        {compiled(QStringLiteral(R"(\*\*(.+?)\*\*)")), QStringLiteral(R"(\1)")},
        {compiled(QStringLiteral(R"(__(.+?)__)")), QStringLiteral(R"(\1)")},
        {compiled(QStringLiteral(R"((?<!\w)\*(?!\s)([^*]+?)\*(?!\w))")), QStringLiteral(R"(\1)")},
        {compiled(QStringLiteral(R"((?<!\w)_(?!\s)([^_]+?)_(?!\w))")), QStringLiteral(R"(\1)")},
        {compiled(QStringLiteral(R"(\[([^\]]+?)\]\([^)]+?\))")), QStringLiteral(R"(\1)")},
        {compiled(QStringLiteral(R"((?m)^#{1,6}\s+)")), QString()},
        {compiled(QStringLiteral(R"((?m)^>\s?)")), QString()},
        {compiled(QStringLiteral(R"((?m)^[\-*+]\s+)")), QString()},
        {compiled(QStringLiteral(R"((?m)^\d+\.\s+)")), QString()},
        {compiled(QStringLiteral(R"((?m)^\s*[-*_]{3,}\s*$)")), QString()},
        // The row under a table header ("|---|:--:|") says nothing; the bar pass would
        // leave its dashes behind to be read out.
        {compiled(QStringLiteral(R"((?m)^(?=.*\|)[\t |:\-]*-[\t |:\-]*$)")), QString()},
        {compiled(QStringLiteral(R"(\|)")), QStringLiteral(" ")},
        {compiled(QStringLiteral(R"([\t ]+)")), QStringLiteral(" ")},
    };
    return all;
}

}  // namespace

namespace MarkdownStripper {

QString strip(const QString& text)
{
    QString result = text;
    for (const Pass& pass : passes())
        result.replace(pass.pattern, pass.replacement);
    return Text::trimmed(result);
}

}  // namespace MarkdownStripper
