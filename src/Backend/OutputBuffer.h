#pragma once

#include "Backend/CLIAssistantClient.h"

#include <QString>
#include <QStringList>

#include <optional>

// Turns an agent's decoded output into reply pieces according to its output format, keeps
// the raw output for error reports and counts the reply characters handed out. One per run.
class OutputBuffer {
public:
    explicit OutputBuffer(CLIAssistantClient::OutputMode mode) : m_mode(mode) {}

    QStringList feed(const QString& text);
    // At the end of output: the pieces still held (an unterminated last line; in Claude
    // mode the final result text when no text delta came at all).
    QStringList flush();

    const QString& raw() const { return m_raw; }
    // Grapheme clusters of reply text handed out so far.
    qsizetype totalEmitted() const { return m_totalEmitted; }

    // A Codex line: the text of a completed agent message, else nothing.
    static std::optional<QString> extractAgentText(const QString& line);
    // A Claude stream-JSON line: the text of a text delta, else nothing; remembers a result.
    std::optional<QString> handleClaudeLine(const QString& line);

private:
    QStringList parseLines(const QString& text);
    std::optional<QString> parseLine(const QString& line);
    void emitPiece(const QString& piece, QStringList& pieces);

    const CLIAssistantClient::OutputMode m_mode;
    QString m_raw;
    QString m_lineBuffer;
    qsizetype m_totalEmitted = 0;
    QString m_claudeFallbackResult;
};
