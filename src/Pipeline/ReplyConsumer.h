#pragma once

#include "Backend/ReplyStream.h"
#include "Pipeline/CancelToken.h"
#include "TTS/SentenceChunker.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class AssistantVoice;
class EngineState;

// Consumes one reply stream: shows the reply as it grows, cuts it into sentences and speaks
// each as soon as it is complete, and keeps a tool-call line out of sight and out of speech,
// even one split across pieces (a trailing line that starts with "{" waits until it is known).
// At the end it reports exactly one outcome to its owner. Once cancelled, it ignores
// everything the stream still delivers. GUI thread only.
class ReplyConsumer final : public QObject {
    Q_OBJECT
public:
    ReplyConsumer(std::unique_ptr<ReplyStream> stream, CancelToken token, EngineState& state, AssistantVoice& voice,
                  QObject* parent = nullptr);

    // Stops the stream and ignores whatever it still delivers; no outcome is reported.
    void cancel();
    const CancelToken& token() const { return m_token; }

    // The reply ended with a tool-call line: `rawJSON` is the line, or the whole reply when
    // the line could not be cut out. Nothing after the line was shown or spoken.
    std::function<void(const QString& rawJSON)> onToolCall;
    // The reply ended without a tool call; `text` is all of it, possibly empty.
    std::function<void(const QString& text)> onCompleted;
    std::function<void(const QString& description)> onFailed;

private:
    void receive(const QString& piece);
    void finish();
    void fail(const QString& description);
    void speakUpTo(qsizetype end);

    std::unique_ptr<ReplyStream> m_stream;
    CancelToken m_token;
    EngineState& m_state;
    AssistantVoice& m_voice;
    SentenceChunker m_chunker;
    QString m_text;  // the reply so far
    qsizetype m_chunked = 0;  // how much of m_text went to the chunker
    bool m_sawToolLine = false;
};
