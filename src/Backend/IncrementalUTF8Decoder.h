#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Turns byte chunks, in whatever sizes a pipe delivers them, into text without breaking a
// character whose bytes straddle two chunks. One per run.
class IncrementalUTF8Decoder {
public:
    // The text that can be decoded so far (possibly empty). At most the last 4 bytes are held
    // back, waiting to complete a character; bytes that no later ones can complete become
    // U+FFFD.
    QString feed(QByteArrayView bytes);
    // At the end of output: what is still held back, invalid sequences replaced.
    QString flush();

private:
    QByteArray m_pending;
};
