#pragma once

#include "Analytics/RozeLogRecord.h"

#include <functional>

class Scheduler;

// The log API of the analytics client: each call stamps one record with the wall-clock
// time and hands it to the client's upload queue. Used on the GUI thread.
class RozeLogger {
public:
    using Sink = std::function<void(RozeLogRecord)>;

    RozeLogger(const Scheduler& clock, Sink sink);
    RozeLogger(const RozeLogger&) = delete;
    RozeLogger& operator=(const RozeLogger&) = delete;

    void log(RozeSeverity severity, const QString& message, const QVariantMap& attributes = {});

    void trace(const QString& message, const QVariantMap& attributes = {})
    {
        log(RozeSeverity::trace, message, attributes);
    }
    void debug(const QString& message, const QVariantMap& attributes = {})
    {
        log(RozeSeverity::debug, message, attributes);
    }
    void info(const QString& message, const QVariantMap& attributes = {})
    {
        log(RozeSeverity::info, message, attributes);
    }
    void warn(const QString& message, const QVariantMap& attributes = {})
    {
        log(RozeSeverity::warn, message, attributes);
    }
    void error(const QString& message, const QVariantMap& attributes = {})
    {
        log(RozeSeverity::error, message, attributes);
    }
    void fatal(const QString& message, const QVariantMap& attributes = {})
    {
        log(RozeSeverity::fatal, message, attributes);
    }

private:
    const Scheduler& m_clock;
    const Sink m_sink;
};
