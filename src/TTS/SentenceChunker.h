#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Cuts a streamed reply into sentences as soon as each one is closed, so speech can start
// on the first sentence while the rest is still arriving. Lengths and offsets count
// user-perceived characters (grapheme clusters).
class SentenceChunker {
public:
    explicit SentenceChunker(int minSentenceChars = 10, int maxBufferChars = 140);

    // Appends a piece of the reply and returns the sentences it completed, in order.
    QStringList feed(const QString& delta);
    // Cuts at most one trimmed sentence off the front of the buffer.
    std::optional<QString> popNextSentence();
    // The end of the stream: returns what is left, trimmed, or nothing when that is blank.
    // The buffer is empty afterwards either way.
    std::optional<QString> flushRemaining();

    const QString& buffer() const { return m_buffer; }
    int minSentenceChars() const { return m_minSentenceChars; }
    int maxBufferChars() const { return m_maxBufferChars; }

private:
    // Removes the front piece [0, pieceEnd) and everything before restStart.
    QString takeFront(qsizetype pieceEnd, qsizetype restStart);

    QString m_buffer;
    int m_minSentenceChars;
    int m_maxBufferChars;
};
