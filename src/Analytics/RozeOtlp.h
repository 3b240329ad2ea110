#pragma once

#include "Analytics/RozeLogRecord.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>

// The OTLP/JSON form of log records: 64-bit integers are written as decimal strings, each
// attribute as a key with a typed value.
namespace RozeOtlp {

// One "logRecords" element; this is also what the upload queue stores per record.
QJsonObject logRecord(const RozeLogRecord& record);

// The "resource" element naming this application and its version.
QJsonObject resource(const QString& serviceName, const QString& serviceVersion);

// A whole export request: the records, in the given order, under one resource and one scope.
QByteArray logsRequest(const QJsonObject& resource, const QList<QJsonObject>& records);

}  // namespace RozeOtlp
