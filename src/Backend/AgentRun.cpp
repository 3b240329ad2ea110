#include "Backend/AgentRun.h"

#include "Backend/ReplyStream.h"
#include "Support/Text.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcAgentRun, "app.parlivox.agent")

AgentRun::AgentRun(ReplyStream& stream, CLIAssistantClient::OutputMode mode, Scheduler& scheduler)
    : QObject(&stream), m_stream(stream), m_process(scheduler), m_output(mode)
{
    connect(&m_process, &AgentProcess::outputReceived, this,
            [this](const QByteArray& chunk) { deliver(m_decoder.feed(chunk)); });
    connect(&m_process, &AgentProcess::exited, this, &AgentRun::onExited);
    connect(&m_process, &AgentProcess::failedToStart, this, [this](const QString& error) {
        qCWarning(lcAgentRun) << "could not start the agent:" << error;
        m_stream.fail(error);
    });
    // Two agents must never work in the same directory at once: a cancelled turn ends its agent.
    m_stream.setCancelHandler([this] { m_process.stop(); });
}

void AgentRun::start(const AgentProcess::Launch& launch, std::chrono::milliseconds timeout)
{
    m_process.start(launch, timeout);
}

std::optional<CLIAssistantError> AgentRun::verdict(int status, const QByteArray& standardError,
                                                   const OutputBuffer& output)
{
    const QString errors = Text::trimmed(Text::decodeUtf8Strict(standardError).value_or(QString()));
    const QString raw = Text::trimmed(output.raw());
    const QString none = QStringLiteral("(no output captured)");
    if (status != 0) {
        QString detail;
        if (errors.isEmpty())
            detail = raw.isEmpty() ? none : raw;
        else
            detail = raw.isEmpty() ? errors : QStringLiteral("stderr: ") + errors + QStringLiteral("\nstdout: ") + raw;
        return CLIAssistantError::processFailed(status, detail);
    }
    if (output.totalEmitted() > 0)
        return std::nullopt;
    if (!errors.isEmpty())
        return CLIAssistantError::emptyResponse(errors);
    if (!raw.isEmpty())
        return CLIAssistantError::emptyResponse(QStringLiteral("exit 0 but no agent_message events. raw stdout: ") +
                                                raw);
    return CLIAssistantError::emptyResponse(none);
}

void AgentRun::deliver(const QString& text)
{
    if (text.isEmpty())
        return;
    for (const QString& piece : m_output.feed(text))
        m_stream.push(piece);
}

void AgentRun::onExited(int status, const QByteArray& standardError)
{
    deliver(m_decoder.flush());
    for (const QString& piece : m_output.flush())
        m_stream.push(piece);
    if (const std::optional<CLIAssistantError> error = verdict(status, standardError, m_output)) {
        qCWarning(lcAgentRun) << "agent run failed with status" << status;
        m_stream.fail(error->description());
    } else {
        m_stream.finish();
    }
}
