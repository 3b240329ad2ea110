#include "Speech/MarkdownStripper.h"

#include "Support/Text.h"

#include <QRegularExpression>

#include <algorithm>
#include <vector>

namespace {

struct Pass {
    QRegularExpression pattern;
    QString replacement;
    // A pass can only match text that holds one of these; most sentences skip most passes.
    QStringList needles;

    bool mayMatch(const QString& text) const
    {
        return std::ranges::any_of(needles, [&text](const QString& needle) { return text.contains(needle); });
    }
};

Pass pass(const QString& pattern, const QString& replacement, QStringList needles)
{
    // Every Unicode line terminator ends a line for "^", "$" and ".", and \w, \s and \d
    // know every script, so Hangul next to "_" or "*" counts as a word character.
    QRegularExpression expression(QStringLiteral("(*ANY)") + pattern, QRegularExpression::UseUnicodePropertiesOption);
    expression.optimize();
    return {std::move(expression), replacement, std::move(needles)};
}

// Order matters: fences before inline code, double markers before single ones, links
// before the line-start marks, and bars and spaces last so they tidy what the rest left.
const std::vector<Pass>& passes()
{
    const QString keep = QStringLiteral(R"(\1)");
    static const std::vector<Pass> kAll = {
        pass(QStringLiteral(R"(```[\s\S]*?```)"), QStringLiteral(" "), {"```"}),
        pass(QStringLiteral(R"(`([^`]+)`)"), keep, {"`"}),
        pass(QStringLiteral(R"(\*\*(.+?)\*\*)"), keep, {"**"}),
        pass(QStringLiteral(R"(__(.+?)__)"), keep, {"__"}),
        pass(QStringLiteral(R"((?<!\w)\*(?!\s)([^*]+?)\*(?!\w))"), keep, {"*"}),
        pass(QStringLiteral(R"((?<!\w)_(?!\s)([^_]+?)_(?!\w))"), keep, {"_"}),
        pass(QStringLiteral(R"(\[([^\]]+?)\]\([^)]+?\))"), keep, {"]("}),
        pass(QStringLiteral(R"((?m)^#{1,6}\s+)"), QString(), {"#"}),
        pass(QStringLiteral(R"((?m)^>\s?)"), QString(), {">"}),
        pass(QStringLiteral(R"((?m)^[\-*+]\s+)"), QString(), {"-", "*", "+"}),
        pass(QStringLiteral(R"((?m)^\d+\.\s+)"), QString(), {"."}),
        pass(QStringLiteral(R"((?m)^\s*[-*_]{3,}\s*$)"), QString(), {"-", "*", "_"}),
        // The row under a table header ("|---|:--:|") says nothing; the bar pass would
        // leave its dashes behind to be read out.
        pass(QStringLiteral(R"((?m)^(?=.*\|)[\t |:\-]*-[\t |:\-]*$)"), QString(), {"|"}),
        pass(QStringLiteral(R"(\|)"), QStringLiteral(" "), {"|"}),
        pass(QStringLiteral(R"([\t ]+)"), QStringLiteral(" "), {"\t", "  "}),
    };
    return kAll;
}

}  // namespace

namespace MarkdownStripper {

QString strip(const QString& text)
{
    QString result = text;
    for (const Pass& p : passes()) {
        if (p.mayMatch(result))
            result.replace(p.pattern, p.replacement);
    }
    return Text::trimmed(result);
}

}  // namespace MarkdownStripper
