#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

class QUuid;

// Text rules shared across the system, kept in one place so every part trims, counts
// and prints the same way.
namespace Text {

// Trims white space and line breaks at both ends: Unicode separators (Zs, Zl, Zp),
// U+0009...U+000D and U+0085.
QString trimmed(const QString& text);

// Number of user-perceived characters (extended grapheme clusters): an emoji with
// modifiers or a Hangul syllable counts as one.
qsizetype graphemeCount(const QString& text);
// The first `count` grapheme clusters, never splitting one.
QString graphemePrefix(const QString& text, qsizetype count);

// The shortest decimal text that reads back as the same double, in the form of the
// language the stored formats came from: "1.0", "0.1", "1e-05", "1e+16", "nan", "inf".
QString shortestDecimal(double value);

// What a byte-order mark at the very start is: part of the text (a chunk taken from the
// middle of a stream), or only a mark of the encoding (the start of a whole file).
enum class LeadingBom { keep, skip };

// The text when every byte belongs to a complete, well-formed UTF-8 sequence (a truncated
// last character counts as malformed), otherwise nothing. QString::fromUtf8 would silently
// substitute, which hides damage that callers need to tell apart.
std::optional<QString> decodeUtf8Strict(QByteArrayView bytes, LeadingBom bom = LeadingBom::keep);
// The text with every byte that belongs to no well-formed sequence read as U+FFFD, for text
// that is better read damaged than not at all; `damaged` tells whether any byte was.
QString decodeUtf8Replacing(QByteArrayView bytes, bool* damaged = nullptr, LeadingBom bom = LeadingBom::keep);

// A UUID in canonical upper-case hyphenated form, the way every stored identifier is written.
QString uuidText(const QUuid& uuid);
// A new random UUID in that form.
QString newUuid();

}  // namespace Text
