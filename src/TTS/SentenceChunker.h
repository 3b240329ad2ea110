#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Cuts a streamed reply into sentences as soon as each one is closed, so speech can start
// on the first sentence while the rest is still arriving. Lengths and offsets count
// user-perceived characters (grapheme clusters). Each piece of the reply costs one scan of
// what is buffered, and the buffer never holds more than the length limit after a feed, so
// the work grows linearly with the reply whatever its text.
class SentenceChunker {
public:
    explicit SentenceChunker(int minSentenceChars = 10, int maxBufferChars = 140);

    // Appends a piece of the reply and returns the sentences it completed, in order.
    QStringList feed(const QString& delta);
    // The end of the stream: returns what is left, trimmed, or nothing when that is blank.
    // The buffer is empty afterwards either way.
    std::optional<QString> flushRemaining();

    const QString& buffer() const { return m_buffer; }
    int minSentenceChars() const { return m_minSentenceChars; }
    int maxBufferChars() const { return m_maxBufferChars; }

private:
    QString m_buffer;
    int m_minSentenceChars;
    int m_maxBufferChars;
};
