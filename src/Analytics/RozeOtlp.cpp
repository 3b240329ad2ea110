#include "Analytics/RozeOtlp.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtNumeric>

#include <limits>

namespace RozeOtlp {

namespace {

QJsonObject anyValue(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return {{QStringLiteral("boolValue"), value.toBool()}};
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return {{QStringLiteral("intValue"), QString::number(value.toLongLong())}};
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return {{QStringLiteral("intValue"), QString::number(value.toULongLong())}};
    case QMetaType::Double:
    case QMetaType::Float:
        return {{QStringLiteral("doubleValue"), value.toDouble()}};
    default:
        return {{QStringLiteral("stringValue"), value.toString()}};
    }
}

QJsonObject keyValue(const QString& key, const QVariant& value)
{
    return {{QStringLiteral("key"), key}, {QStringLiteral("value"), anyValue(value)}};
}

// Nanoseconds fit 64 bits only from 1677 to 2262; a clock set far outside keeps the nearest end.
qint64 unixNanos(const QDateTime& time)
{
    const qint64 millis = time.toMSecsSinceEpoch();
    qint64 nanos = 0;
    if (qMulOverflow(millis, qint64(1'000'000), &nanos))
        return millis < 0 ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
    return nanos;
}

}  // namespace

QJsonObject logRecord(const RozeLogRecord& record)
{
    QJsonArray attributes;
    for (auto it = record.attributes.cbegin(); it != record.attributes.cend(); ++it)
        attributes.append(keyValue(it.key(), it.value()));
    const QString nanos = QString::number(unixNanos(record.time));
    return {
        {QStringLiteral("timeUnixNano"), nanos},
        {QStringLiteral("observedTimeUnixNano"), nanos},
        {QStringLiteral("severityNumber"), severityNumber(record.severity)},
        {QStringLiteral("severityText"), rawValue(record.severity)},
        {QStringLiteral("body"), QJsonObject{{QStringLiteral("stringValue"), record.body}}},
        {QStringLiteral("attributes"), attributes},
    };
}

QJsonObject resource(const QString& serviceName, const QString& serviceVersion)
{
    return {{QStringLiteral("attributes"), QJsonArray{keyValue(QStringLiteral("service.name"), serviceName),
                                                      keyValue(QStringLiteral("service.version"), serviceVersion)}}};
}

QByteArray logsRequest(const QJsonObject& resource, const QList<QJsonObject>& records)
{
    QJsonArray logRecords;
    for (const QJsonObject& record : records)
        logRecords.append(record);
    const QJsonObject scopeLogs{
        {QStringLiteral("scope"), QJsonObject{{QStringLiteral("name"), QStringLiteral("roze")}}},
        {QStringLiteral("logRecords"), logRecords}};
    const QJsonObject resourceLogs{{QStringLiteral("resource"), resource},
                                   {QStringLiteral("scopeLogs"), QJsonArray{scopeLogs}}};
    const QJsonObject request{{QStringLiteral("resourceLogs"), QJsonArray{resourceLogs}}};
    return QJsonDocument(request).toJson(QJsonDocument::Compact);
}

}  // namespace RozeOtlp
