#pragma once

#include "Analytics/RozeSeverity.h"

#include <QDateTime>
#include <QString>
#include <QVariantMap>

// One log record as the logger takes it, before it is queued for upload.
struct RozeLogRecord {
    QDateTime time;
    RozeSeverity severity = RozeSeverity::info;
    QString body;
    // Strings, booleans, integers and doubles keep their type; anything else is sent as text.
    QVariantMap attributes;
};
