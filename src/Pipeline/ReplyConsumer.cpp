#include "Pipeline/ReplyConsumer.h"

#include "Pipeline/AssistantVoice.h"
#include "Pipeline/EngineState.h"
#include "Pipeline/ToolCallLine.h"

namespace {

constexpr int kMinSentenceChars = 10;
constexpr int kMaxBufferChars = 140;

}  // namespace

ReplyConsumer::ReplyConsumer(std::unique_ptr<ReplyStream> stream, CancelToken token, EngineState& state,
                             AssistantVoice& voice, QObject* parent)
    : QObject(parent), m_stream(std::move(stream)), m_token(std::move(token)), m_state(state), m_voice(voice),
      m_chunker(kMinSentenceChars, kMaxBufferChars)
{
    connect(m_stream.get(), &ReplyStream::textReceived, this, &ReplyConsumer::receive);
    connect(m_stream.get(), &ReplyStream::finished, this, &ReplyConsumer::finish);
    connect(m_stream.get(), &ReplyStream::failed, this, &ReplyConsumer::fail);
}

void ReplyConsumer::cancel()
{
    m_token.cancel();
    m_stream->disconnect(this);
    m_stream->cancel();
}

void ReplyConsumer::receive(const QString& piece)
{
    if (m_token.isCancelled())
        return;
    m_text += piece;
    if (m_sawToolLine || ToolCallLine::containsToolCallLine(m_text)) {
        // Nothing from here on is spoken, not even text of this piece before the line.
        m_sawToolLine = true;
        m_state.setAssistantMessage(ToolCallLine::textBeforeToolCall(m_text));
        return;
    }
    const std::optional<qsizetype> held = ToolCallLine::heldTailStart(m_text);
    const qsizetype ready = held ? std::max(*held, m_chunked) : m_text.size();
    m_state.setAssistantMessage(m_text.left(ready));
    speakUpTo(ready);
}

void ReplyConsumer::finish()
{
    if (m_token.isCancelled())
        return;
    if (!m_sawToolLine)
        speakUpTo(m_text.size());  // a held line that never became a tool call is ordinary text
    if (const std::optional<QString> rest = m_chunker.flushRemaining())
        m_voice.speak({*rest});
    m_state.setAssistantMessage({});
    if (m_sawToolLine) {
        if (onToolCall)
            onToolCall(ToolCallLine::extractToolCallJSON(m_text).value_or(m_text));
    } else if (onCompleted) {
        onCompleted(m_text);
    }
}

void ReplyConsumer::fail(const QString& description)
{
    if (!m_token.isCancelled() && onFailed)
        onFailed(description);
}

void ReplyConsumer::speakUpTo(qsizetype end)
{
    if (end <= m_chunked)
        return;
    const QStringList sentences = m_chunker.feed(m_text.mid(m_chunked, end - m_chunked));
    m_chunked = end;
    if (!sentences.isEmpty())
        m_voice.speak(sentences);
}
