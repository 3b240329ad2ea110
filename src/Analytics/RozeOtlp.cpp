#include "Analytics/RozeOtlp.h"

#include <QJsonArray>
#include <QJsonDocument>

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

}  // namespace

QJsonObject logRecord(const RozeLogRecord& record)
{
    QJsonArray attributes;
    for (auto it = record.attributes.cbegin(); it != record.attributes.cend(); ++it)
        attributes.append(keyValue(it.key(), it.value()));
    const QString nanos = QString::number(record.time.toMSecsSinceEpoch() * 1'000'000);
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
