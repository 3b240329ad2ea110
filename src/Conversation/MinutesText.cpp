#include "Conversation/MinutesText.h"

namespace {

QString stamp(const QDateTime& time)
{
    return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

}  // namespace

QString MinutesText::header(const QDateTime& startedAt, const QString& recordingFileName)
{
    return QStringLiteral("# Parlivox minutes \u2014 started ") + stamp(startedAt) + QStringLiteral("\n# Audio: ") +
           recordingFileName + QLatin1Char('\n');
}

QString MinutesText::line(const MinutesEntry& entry)
{
    return QLatin1Char('[') + stamp(entry.timestamp) + QStringLiteral("] ") + entry.speakerLabel +
           QStringLiteral(": ") + entry.text + QLatin1Char('\n');
}

QString MinutesText::whole(const QDateTime& startedAt, const QString& recordingFileName,
                           const QList<MinutesEntry>& entries)
{
    QString text = header(startedAt, recordingFileName);
    for (const MinutesEntry& entry : entries)
        text += line(entry);
    return text;
}
