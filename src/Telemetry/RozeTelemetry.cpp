#include "Telemetry/RozeTelemetry.h"

#include "Analytics/RozeClient.h"
#include "Analytics/RozeConfig.h"
#include "Analytics/RozeLogger.h"
#include "Support/Text.h"

#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSet>

Q_LOGGING_CATEGORY(lcTelemetry, "app.parlivox.telemetry")

const QString RozeTelemetry::kIngestionHost = QStringLiteral("https://ingest.roze.ostrel.dev");
const QString RozeTelemetry::kProjectToken = QStringLiteral("rzc_Qw7rTz2LmN8xKp4VbH6sJd3FgY9cRe5WuA1oZi0XtEqM");

namespace {

const QSet<QString>& forwardableCategories()
{
    static const QSet<QString> kCategories{
        QStringLiteral("fsm"),      QStringLiteral("tts"),     QStringLiteral("llm"),   QStringLiteral("turn"),
        QStringLiteral("barge-in"), QStringLiteral("error"),   QStringLiteral("skill"), QStringLiteral("endpointing"),
        QStringLiteral("session"),  QStringLiteral("minutes"), QStringLiteral("alias"), QStringLiteral("manual"),
        QStringLiteral("update"),
    };
    return kCategories;
}

// Categories whose messages quote what the user said or what a backend answered: the
// endpointing diagnostics quote the transcript and error texts may carry a raw reply, so
// both go out as their length only, like the turn itself.
const QSet<QString>& lengthOnlyCategories()
{
    static const QSet<QString> kCategories{
        QStringLiteral("turn"),  QStringLiteral("llm"),    QStringLiteral("tts"),         QStringLiteral("minutes"),
        QStringLiteral("alias"), QStringLiteral("manual"), QStringLiteral("endpointing"), QStringLiteral("error"),
    };
    return kCategories;
}

constexpr qsizetype kSkillPrefixLength = 40;

// A skill line without what follows its mark, skill id and outcome: a summary, a result, a
// quoted answer or tool line may hold the user's words. A quoted skill id is kept.
QString skillOutline(const QString& message)
{
    static const QStringList kTails{QStringLiteral(" ("), QStringLiteral(" \u2192 "), QStringLiteral(": "),
                                    QStringLiteral(" via "), QStringLiteral(" '")};
    static const QRegularExpression kQuotedID(QStringLiteral("^ '[a-z0-9_]+(\\.[a-z0-9_]+)+'$"));
    qsizetype cut = message.size();
    for (const QString& tail : kTails) {
        const qsizetype at = message.indexOf(tail);
        if (at >= 0)
            cut = std::min(cut, at);
    }
    const QString outline = Text::graphemePrefix(message.left(cut), kSkillPrefixLength);
    const QString rest = message.mid(cut);
    return outline.size() == cut && kQuotedID.match(rest).hasMatch() ? outline + rest : outline;
}

}  // namespace

RozeTelemetry::RozeTelemetry(RozeClient& client, QString host, QObject* parent)
    : QObject(parent), m_client(client), m_host(std::move(host))
{
}

void RozeTelemetry::setup(bool enabled, const QString& serviceName)
{
    if (!enabled) {
        if (m_isActive) {
            m_client.close();
            m_isActive = false;
        }
        return;
    }
    if (m_isActive)
        return;
    RozeConfig config(kProjectToken, m_host);
    config.captureApplicationLifecycleEvents = false;
    config.captureScreenViews = false;
    m_client.setup(config);
    m_isActive = true;
    qCInfo(lcTelemetry, "Roze telemetry active (host=%s, service=%s)", qUtf8Printable(m_host),
           qUtf8Printable(serviceName));
}

void RozeTelemetry::forward(const PipelineLog::Entry& entry)
{
    if (!m_isActive || !forwardableCategories().contains(entry.category))
        return;
    RozeLogger* logger = m_client.logger();
    if (!logger)
        return;  // the client has not finished its set-up
    const QVariantMap attributes{
        {QStringLiteral("category"), entry.category},
        {QStringLiteral("ts"), std::chrono::duration<double>(entry.timestamp.time_since_epoch()).count()},
        {QStringLiteral("len"), static_cast<qint64>(Text::graphemeCount(entry.message))},
    };
    logger->log(level(entry.category, entry.message), sanitize(entry.category, entry.message), attributes);
}

QString RozeTelemetry::sanitize(const QString& category, const QString& message)
{
    const QString head = QStringLiteral("[") + category;
    if (lengthOnlyCategories().contains(category))
        return head + QStringLiteral("] len=") + QString::number(Text::graphemeCount(message));
    if (category != QLatin1String("skill"))
        return head + QStringLiteral("] ") + message;
    return head + QStringLiteral("] ") + skillOutline(message);
}

RozeSeverity RozeTelemetry::level(const QString& category, const QString& message)
{
    if (category == QLatin1String("error"))
        return RozeSeverity::error;
    if (message.contains(QLatin1String("aborted")) || message.contains(QLatin1String("FAILED")) ||
        message.contains(QLatin1String("failed")))
        return RozeSeverity::warn;
    return RozeSeverity::info;
}
