#include "Backend/OutputBuffer.h"

#include "Backend/StrictJson.h"
#include "Support/Text.h"

#include <QJsonObject>

QStringList OutputBuffer::feed(const QString& text)
{
    m_raw += text;
    if (m_mode != CLIAssistantClient::OutputMode::plainText)
        return parseLines(text);
    QStringList pieces;
    emitPiece(text, pieces);
    return pieces;
}

QStringList OutputBuffer::flush()
{
    QStringList pieces;
    if (m_mode == CLIAssistantClient::OutputMode::plainText)
        return pieces;
    if (!m_lineBuffer.isEmpty()) {
        if (const std::optional<QString> text = parseLine(std::exchange(m_lineBuffer, QString())))
            emitPiece(*text, pieces);
    }
    // Claude's final result repeats what the deltas said; it only stands in when none came.
    if (m_mode == CLIAssistantClient::OutputMode::claudeStreamJSON && m_totalEmitted == 0)
        emitPiece(m_claudeFallbackResult, pieces);
    return pieces;
}

std::optional<QString> OutputBuffer::extractAgentText(const QString& line)
{
    const std::optional<QJsonObject> event = StrictJson::objectLine(line);
    if (!event || event->value(QLatin1String("type")) != QLatin1String("item.completed"))
        return std::nullopt;
    const QJsonObject item = event->value(QLatin1String("item")).toObject();
    if (item.value(QLatin1String("type")) != QLatin1String("agent_message"))
        return std::nullopt;
    return StrictJson::string(item, QLatin1String("text")).value;
}

std::optional<QString> OutputBuffer::handleClaudeLine(const QString& line)
{
    const std::optional<QJsonObject> event = StrictJson::objectLine(line);
    if (!event)
        return std::nullopt;
    const QJsonValue type = event->value(QLatin1String("type"));
    if (type == QLatin1String("result")) {
        if (const std::optional<QString> result = StrictJson::string(*event, QLatin1String("result")).value)
            m_claudeFallbackResult = *result;
        return std::nullopt;
    }
    if (type != QLatin1String("stream_event"))
        return std::nullopt;
    const QJsonObject streamEvent = event->value(QLatin1String("event")).toObject();
    if (streamEvent.value(QLatin1String("type")) != QLatin1String("content_block_delta"))
        return std::nullopt;
    const QJsonObject delta = streamEvent.value(QLatin1String("delta")).toObject();
    if (delta.value(QLatin1String("type")) != QLatin1String("text_delta"))
        return std::nullopt;
    return StrictJson::string(delta, QLatin1String("text")).value;
}

QStringList OutputBuffer::parseLines(const QString& text)
{
    QStringList pieces;
    m_lineBuffer += text;
    qsizetype newline;
    while ((newline = m_lineBuffer.indexOf(QLatin1Char('\n'))) >= 0) {
        const QString line = m_lineBuffer.left(newline);
        m_lineBuffer.remove(0, newline + 1);
        if (const std::optional<QString> piece = parseLine(line))
            emitPiece(*piece, pieces);
    }
    return pieces;
}

std::optional<QString> OutputBuffer::parseLine(const QString& line)
{
    if (m_mode == CLIAssistantClient::OutputMode::codexJsonl)
        return extractAgentText(line);
    return handleClaudeLine(line);
}

void OutputBuffer::emitPiece(const QString& piece, QStringList& pieces)
{
    if (piece.isEmpty())
        return;
    m_totalEmitted += Text::graphemeCount(piece);
    pieces.append(piece);
}
