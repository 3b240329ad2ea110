#include "TTS/SentenceChunker.h"

#include "Support/Text.h"

#include <QTextBoundaryFinder>

#include <algorithm>
#include <vector>

namespace {

constexpr char16_t kTerminators[] = {u'.', u'!', u'?', u'\u2026', u'\u3002', u'\uFF01', u'\uFF1F', u'\n'};
// Closing quotes and brackets and Markdown emphasis marks, which may stand between a full
// stop and the white space that confirms it ("Done." Next, (see above.) Next, **Note.** Next).
constexpr char16_t kClosers[] = {u'"',      u'\'',     u')',      u']',      u'}',      u'*',      u'_',
                                 u'\u2019', u'\u201D', u'\u00BB', u'\u203A', u'\u300D', u'\u300F', u'\uFF09'};
// Their opening counterparts, which may stand before an initialism: (e.g. apples).
constexpr char16_t kOpeners[] = {u'"',      u'\'',     u'(',      u'[',      u'{',      u'*',      u'_',
                                 u'\u2018', u'\u201C', u'\u00AB', u'\u2039', u'\u300C', u'\u300E', u'\uFF08'};

template <std::size_t N>
bool isOneOf(const char16_t (&set)[N], QChar unit)
{
    return std::ranges::find(set, unit.unicode()) != std::end(set);
}

// A full stop at the end of the text, maybe followed by closing marks, waits for what comes next.
bool endsInWaitingStop(const QString& text)
{
    qsizetype at = text.size();
    while (at > 0 && isOneOf(kClosers, text.at(at - 1)))
        --at;
    return at > 0 && text.at(at - 1) == u'.';
}

// A text seen as user-perceived characters: character k spans [start(k), end(k)).
class Characters {
public:
    explicit Characters(const QString& text) : m_text(text)
    {
        m_bounds.push_back(0);
        if (text.isEmpty())
            return;
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
        for (qsizetype b = finder.toNextBoundary(); b != -1; b = finder.toNextBoundary())
            m_bounds.push_back(b);
    }

    qsizetype count() const { return static_cast<qsizetype>(m_bounds.size()) - 1; }
    qsizetype start(qsizetype k) const { return m_bounds[static_cast<std::size_t>(k)]; }

    // Membership is character equality, so "\r\n" (one character) is no terminator.
    bool isTerminator(qsizetype k) const { return isSingle(k) && isOneOf(kTerminators, unit(k)); }
    bool isSpace(qsizetype k) const { return isSingle(k) && unit(k) == u' '; }

    // When character k closes a sentence that began at character `from`, the character just
    // after it. A full stop closes one only before white space, closing marks allowed in
    // between: decimals ("3.5"), versions ("v1.2") and addresses ("example.com") stay whole,
    // and a stop at the very end waits for what follows (or for the end of the stream). Nor
    // does the stop of an initialism ("e.g.", "U.S.") close one.
    std::optional<qsizetype> sentenceEnd(qsizetype k, qsizetype from) const
    {
        if (!isTerminator(k))
            return std::nullopt;
        if (unit(k) != u'.')
            return k + 1;
        qsizetype next = k + 1;
        while (next < count() && isSingle(next) && isOneOf(kClosers, unit(next)))
            ++next;
        if (next == count() || !unit(next).isSpace() || closesInitialism(k, from))
            return std::nullopt;
        return next;
    }

private:
    bool isSingle(qsizetype k) const { return start(k + 1) - start(k) == 1; }
    QChar unit(qsizetype k) const { return m_text.at(start(k)); }

    // Single letters joined by full stops, such as "e.g" or "U.S", right before the stop,
    // perhaps after an opening mark; the word begins after white space or at `from`.
    bool closesInitialism(qsizetype k, qsizetype from) const
    {
        const qsizetype first = start(from);
        qsizetype wordStart = start(k);
        while (wordStart > first && !m_text.at(wordStart - 1).isSpace())
            --wordStart;
        while (wordStart < start(k) && isOneOf(kOpeners, m_text.at(wordStart)))
            ++wordStart;
        const QStringView word = QStringView(m_text).sliced(wordStart, start(k) - wordStart);
        if (word.size() < 3 || word.size() % 2 == 0)
            return false;
        for (qsizetype i = 0; i < word.size(); ++i) {
            if (i % 2 == 0 ? !word.at(i).isLetter() : word.at(i) != u'.')
                return false;
        }
        return true;
    }

    const QString& m_text;
    std::vector<qsizetype> m_bounds;
};

// Where the piece that begins at the current first character ends and where the rest
// begins, in characters; the characters between them (the boundary of a forced cut) are
// dropped.
struct Cut {
    qsizetype pieceEnd;
    qsizetype restStart;
};

// The first sentence end at an offset of at least minSentenceChars ends the piece, its mark
// kept. Once `limit` characters are buffered, only an end within them counts; otherwise the
// piece is cut at the last space within the limit, else at the last terminator within it
// (the boundary dropped), else hard after `limit` characters, so no utterance grows beyond
// it. The hard cut waits for one more character: until then the last one may still grow.
std::optional<Cut> nextCut(const Characters& chars, qsizetype first, qsizetype minSentenceChars, qsizetype limit)
{
    const bool full = chars.count() - first >= limit;
    const qsizetype scanEnd = full ? first + limit : chars.count();
    for (qsizetype k = first + minSentenceChars; k < scanEnd; ++k) {
        // Closing marks after a stop near the limit may run past it: those open the next piece.
        if (const std::optional<qsizetype> end = chars.sentenceEnd(k, first))
            return Cut{std::min(*end, scanEnd), std::min(*end, scanEnd)};
    }
    if (!full)
        return std::nullopt;
    for (qsizetype k = scanEnd - 1; k >= first; --k) {
        if (chars.isSpace(k))
            return Cut{k, k + 1};
    }
    for (qsizetype k = scanEnd - 1; k >= first; --k) {
        if (chars.isTerminator(k))
            return Cut{k, k + 1};
    }
    if (chars.count() - first > limit)
        return Cut{scanEnd, scanEnd};
    return std::nullopt;
}

// Adds the trimmed piece to `sentences`, cut again where it is longer than `limit` counted on
// its own. Qt's segmentation of a character depends on what stands before it (a full stop
// and a spacing mark, or U+FFFD and a combining mark, are one character after a letter but
// two at the start of a text or after a control), so a piece that had `limit` characters
// inside the buffer can have one more once it stands alone or its leading blanks are gone.
// A prefix keeps the segmentation of the text it starts, so each cut holds.
void appendWithinLimit(QStringList& sentences, QString piece, qsizetype limit)
{
    while (!piece.isEmpty() && Text::graphemeCount(piece) > limit) {
        const QString head = Text::graphemePrefix(piece, limit);
        sentences << Text::trimmed(head);  // never blank: the piece starts with a non-blank
        piece = Text::trimmed(piece.sliced(head.size()));
    }
    if (!piece.isEmpty())
        sentences << std::move(piece);
}

}  // namespace

SentenceChunker::SentenceChunker(int minSentenceChars, int maxBufferChars)
    : m_minSentenceChars(std::max(minSentenceChars, 0)), m_maxBufferChars(std::max(maxBufferChars, 1))
{
}

QStringList SentenceChunker::feed(const QString& delta)
{
    // What was buffered holds no cut, so only a terminator in the delta, a full stop that
    // waited for its next character, or reaching the length limit can make one.
    const bool mayCut = endsInWaitingStop(m_buffer) || m_buffer.size() + delta.size() >= m_maxBufferChars ||
                        std::ranges::any_of(delta, [](QChar c) { return isOneOf(kTerminators, c); });
    m_buffer += delta;
    if (!mayCut)
        return {};
    // One segmentation serves every cut of this delta; a blank piece is dropped and the
    // search starts again on what follows it.
    const Characters chars(m_buffer);
    QStringList sentences;
    qsizetype first = 0;
    while (const std::optional<Cut> cut = nextCut(chars, first, m_minSentenceChars, m_maxBufferChars)) {
        const qsizetype from = chars.start(first);
        appendWithinLimit(sentences, Text::trimmed(m_buffer.sliced(from, chars.start(cut->pieceEnd) - from)),
                          m_maxBufferChars);
        first = cut->restStart;
    }
    m_buffer.remove(0, chars.start(first));
    // What stays may likewise count one more once flushed alone and trimmed: the surplus
    // goes out now, so the flush never exceeds the limit either.
    while (m_buffer.size() > m_maxBufferChars) {
        const QString rest = Text::trimmed(m_buffer);
        if (Text::graphemeCount(rest) <= m_maxBufferChars)
            break;
        const QString head = Text::graphemePrefix(rest, m_maxBufferChars);
        sentences << Text::trimmed(head);
        m_buffer = rest.sliced(head.size());
    }
    return sentences;
}

std::optional<QString> SentenceChunker::flushRemaining()
{
    const QString rest = Text::trimmed(m_buffer);
    m_buffer.clear();
    if (rest.isEmpty())
        return std::nullopt;
    return rest;
}
