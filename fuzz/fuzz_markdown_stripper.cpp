// Sentences of any text, also cut in random places as the chunker may cut them: stripping
// invents no text, leaves no runs of spaces or blank ends, and changes text without markup
// only in its spacing.
#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "FuzzText.h"
#include "Speech/MarkdownStripper.h"
#include "Support/Text.h"

#include <QRegularExpression>

#include <cstdint>

namespace {

// Whether `part` can be had from `whole` by leaving characters out.
bool isSubsequence(const QString& part, const QString& whole)
{
    qsizetype next = 0;
    for (QChar c : whole) {
        if (next < part.size() && part.at(next) == c)
            ++next;
    }
    return next == part.size();
}

// No character any markup pass looks for: marks, brackets, bars, and a full stop after a digit.
bool isPlain(const QString& text)
{
    static const QRegularExpression markup(QStringLiteral(R"([`*_#>\-+|\[\]]|\d\.)"),
                                           QRegularExpression::UseUnicodePropertiesOption);
    return !markup.match(text).hasMatch();
}

void checkStripped(const QString& text)
{
    const QString stripped = MarkdownStripper::strip(text);
    fuzzCheck(stripped == Text::trimmed(stripped), "no blank ends");
    fuzzCheck(!stripped.contains(QLatin1String("  ")) && !stripped.contains(u'\t'), "no runs of spaces, no tabs");
    fuzzCheck(isSubsequence(FuzzText::withoutSpace(stripped), FuzzText::withoutSpace(text)),
              "stripping invents no text");
    if (isPlain(text)) {
        static const QRegularExpression blanks(QStringLiteral("[\t ]+"));
        fuzzCheck(stripped == Text::trimmed(QString(text).replace(blanks, QStringLiteral(" "))),
                  "text without markup changes only in its spacing");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::vector<std::size_t> lengths = input.takePieceLengths();
    const QString text = QString::fromUtf8(input.rest());
    checkStripped(text);
    for (const QString& piece : FuzzInput::cut(text, lengths))
        checkStripped(piece);
    return 0;
}
