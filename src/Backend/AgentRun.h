#pragma once

#include "Backend/AgentProcess.h"
#include "Backend/CLIAssistantError.h"
#include "Backend/IncrementalUTF8Decoder.h"
#include "Backend/OutputBuffer.h"

#include <optional>

class ReplyStream;

// One turn of a command-line agent: launches it, hands reply pieces to the stream as they
// arrive and ends the stream by how the agent exited. Lives as a child of its stream;
// cancelling the stream stops the agent.
class AgentRun : public QObject {
    Q_OBJECT
public:
    AgentRun(ReplyStream& stream, CLIAssistantClient::OutputMode mode, Scheduler& scheduler);

    void start(const AgentProcess::Launch& launch, std::chrono::milliseconds timeout);

    // How a finished run ends: nothing for a reply, otherwise the error, judged from the exit
    // status, standard error and everything the agent wrote.
    static std::optional<CLIAssistantError> verdict(int status, const QByteArray& standardError,
                                                    const OutputBuffer& output);

private:
    void deliver(const QString& text);
    void onExited(int status, const QByteArray& standardError);

    ReplyStream& m_stream;
    AgentProcess m_process;
    IncrementalUTF8Decoder m_decoder;
    OutputBuffer m_output;
};
