#include "Conversation/ConversationHistory.h"

#include "Storage/AppPaths.h"
#include "Support/FileIO.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcHistory, "app.parlivox.history")

ConversationHistory::ConversationHistory() : m_writer(QStringLiteral("app.parlivox.history"))
{
}

void ConversationHistory::append(const ConversationTurn& turn)
{
    m_turns.append(turn);
    if (m_turns.size() > 2 * kMaxContextTurns)
        m_turns.remove(0, m_turns.size() - 2 * kMaxContextTurns);

    // Encode and name the file here, so the worker only writes; appending (never replacing)
    // keeps every line even when a day file is created while other lines are queued.
    const QByteArray line = QJsonDocument(turn.toJson()).toJson(QJsonDocument::Compact) + '\n';
    const QString path = dayFilePath(turn.timestamp);
    m_writer.post([line, path] {
        // The folder may have been removed while the system runs.
        QString error;
        if (!FileIO::ensureDirectory(QFileInfo(path).path(), false, &error) || !FileIO::append(path, line, &error))
            qCCritical(lcHistory, "append to %s failed: %s", qUtf8Printable(QFileInfo(path).fileName()),
                       qUtf8Printable(error));
    });
}

QList<ConversationTurn> ConversationHistory::recentTurns() const
{
    return m_turns.mid(std::max<qsizetype>(0, m_turns.size() - kMaxContextTurns));
}

QString ConversationHistory::dayFilePath(const QDateTime& timestamp)
{
    return AppPaths::history() + QLatin1Char('/') + timestamp.toLocalTime().toString(QStringLiteral("yyyy-MM-dd")) +
           QStringLiteral(".jsonl");
}
