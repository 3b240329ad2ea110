#include "TTS/SentenceChunker.h"

#include "Support/Text.h"

#include <QTextBoundaryFinder>

#include <algorithm>
#include <vector>

namespace {

constexpr char16_t kTerminators[] = {u'.', u'!', u'?', u'\u2026', u'\u3002', u'\uFF01', u'\uFF1F', u'\n'};

bool isTerminatorUnit(char16_t unit)
{
    return std::ranges::find(kTerminators, unit) != std::end(kTerminators);
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
    qsizetype end(qsizetype k) const { return m_bounds[static_cast<std::size_t>(k) + 1]; }

    // Membership is character equality, so "\r\n" (one character) is no terminator.
    bool isTerminator(qsizetype k) const { return isSingle(k) && isTerminatorUnit(m_text.at(start(k)).unicode()); }
    bool isSpace(qsizetype k) const { return isSingle(k) && m_text.at(start(k)) == u' '; }

    // Whether character k closes a sentence. A full stop does so only before white space:
    // decimals ("3.5"), versions ("v1.2") and addresses ("example.com") stay whole, and a
    // stop at the very end waits for what follows (or for the end of the stream). Nor does
    // the stop of an initialism ("e.g.", "i.e.") end a sentence.
    bool endsSentence(qsizetype k) const
    {
        if (!isTerminator(k))
            return false;
        if (m_text.at(start(k)) != u'.')
            return true;
        return k + 1 < count() && m_text.at(start(k + 1)).isSpace() && !closesInitialism(k);
    }

private:
    bool isSingle(qsizetype k) const { return end(k) - start(k) == 1; }

    // Single letters joined by full stops, such as "e.g" or "U.S", right before the stop.
    bool closesInitialism(qsizetype k) const
    {
        qsizetype wordStart = start(k);
        while (wordStart > 0 && !m_text.at(wordStart - 1).isSpace())
            --wordStart;
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

// Where the front piece ends and where the rest of the buffer begins; the characters
// between them (the boundary of a forced cut) are dropped.
struct Cut {
    qsizetype pieceEnd;
    qsizetype restStart;
};

// A long buffer is cut even without a sentence end, so one utterance never grows without
// bound. A sentence that closes within the limit is left to the scan, which keeps its mark;
// otherwise the cut goes at the last space within the limit, else at the last terminator
// within it, else at the first space or terminator beyond it. The boundary is dropped.
std::optional<Cut> forcedCut(const Characters& chars, qsizetype minSentenceChars, qsizetype limit)
{
    if (chars.count() < limit)
        return std::nullopt;
    for (qsizetype k = std::max<qsizetype>(minSentenceChars, 0); k < limit; ++k) {
        if (chars.endsSentence(k))
            return std::nullopt;
    }

    qsizetype boundary = -1;
    for (qsizetype k = limit - 1; k >= 0 && boundary < 0; --k) {
        if (chars.isSpace(k))
            boundary = k;
    }
    for (qsizetype k = limit - 1; k >= 0 && boundary < 0; --k) {
        if (chars.isTerminator(k))
            boundary = k;
    }
    for (qsizetype k = std::max<qsizetype>(limit, 0); k < chars.count() && boundary < 0; ++k) {
        if (chars.isSpace(k) || chars.isTerminator(k))
            boundary = k;
    }
    if (boundary < 0)
        return std::nullopt;
    return Cut{chars.start(boundary), chars.end(boundary)};
}

// The first terminator at an offset of at least minSentenceChars ends the piece, mark kept.
std::optional<Cut> sentenceEnd(const Characters& chars, qsizetype minSentenceChars)
{
    for (qsizetype k = std::max<qsizetype>(minSentenceChars, 0); k < chars.count(); ++k) {
        if (chars.endsSentence(k))
            return Cut{chars.end(k), chars.end(k)};
    }
    return std::nullopt;
}

}  // namespace

SentenceChunker::SentenceChunker(int minSentenceChars, int maxBufferChars)
    : m_minSentenceChars(minSentenceChars), m_maxBufferChars(maxBufferChars)
{
}

QStringList SentenceChunker::feed(const QString& delta)
{
    // What was buffered holds no cut, so only a terminator in the delta, a full stop that
    // waited for its next character, or reaching the length limit can make one.
    const bool mayCut = m_buffer.endsWith(u'.') || m_buffer.size() + delta.size() >= m_maxBufferChars ||
                        std::ranges::any_of(delta, [](QChar c) { return isTerminatorUnit(c.unicode()); });
    m_buffer += delta;
    if (!mayCut)
        return {};
    QStringList sentences;
    while (auto sentence = popNextSentence())
        sentences << *sentence;
    return sentences;
}

std::optional<QString> SentenceChunker::popNextSentence()
{
    // Every pass shortens the buffer, so this ends; a blank piece is dropped and the
    // search starts again on what follows it.
    for (;;) {
        const Characters chars(m_buffer);
        std::optional<Cut> cut = forcedCut(chars, m_minSentenceChars, m_maxBufferChars);
        if (!cut)
            cut = sentenceEnd(chars, m_minSentenceChars);
        if (!cut)
            return std::nullopt;
        QString sentence = Text::trimmed(takeFront(cut->pieceEnd, cut->restStart));
        if (!sentence.isEmpty())
            return sentence;
    }
}

std::optional<QString> SentenceChunker::flushRemaining()
{
    const QString rest = Text::trimmed(m_buffer);
    m_buffer.clear();
    if (rest.isEmpty())
        return std::nullopt;
    return rest;
}

QString SentenceChunker::takeFront(qsizetype pieceEnd, qsizetype restStart)
{
    QString piece = m_buffer.left(pieceEnd);
    m_buffer.remove(0, restStart);
    return piece;
}
