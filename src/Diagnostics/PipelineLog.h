#pragma once

#include "Support/Scheduler.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>

#include <chrono>
#include <functional>

// The in-app event log of the conversation pipeline: short entries of a category and a
// message, kept newest-last and bounded, shown by the diagnostics views and the report,
// mirrored to the system log and optionally forwarded (telemetry). GUI thread only.
//
// Lists follow it row by row: each change is announced right after it happens, so entries()
// already shows it: a record announces its entry (entryAppended), then the oldest entries it
// pushed past the bound (entriesDropped); clear() announces cleared. entriesChanged follows
// every change, for views that redraw the whole list.
class PipelineLog final : public QObject {
    Q_OBJECT
public:
    using Clock = std::chrono::system_clock;

    enum class TimePrecision { seconds, microseconds };

    struct Entry {
        QUuid id;
        Clock::time_point timestamp;  // wall clock, microsecond resolution
        QString category;
        QString message;

        // "HH:mm:ss.SSSSSS [category] message" in local time (with seconds precision the
        // fraction is left out, as in the short mail body of the diagnostic report).
        QString line(TimePrecision precision = TimePrecision::microseconds) const;

        bool operator==(const Entry&) const = default;
    };

    using ForwardSink = std::function<void(const Entry&)>;

    // "HH:mm:ss.SSSSSS" (or "HH:mm:ss") of a moment in local time; QDateTime stops at
    // milliseconds, so the fraction is taken from the time point itself.
    static QString timeOfDay(Clock::time_point timestamp, TimePrecision precision = TimePrecision::microseconds);

    // Entries are stamped with the scheduler's wall time; the scheduler must outlive the log.
    explicit PipelineLog(const Scheduler& scheduler, QObject* parent = nullptr);

    // Stores, mirrors and forwards one entry, unless the log is disabled.
    void record(const QString& category, const QString& message);

    const QList<Entry>& entries() const { return m_entries; }
    // Empties the log (the window's Clear); the switch, bound and sink stay as they are.
    void clear();

    qsizetype maxEntries() const { return m_maxEntries; }
    // Applies from the next record on; negative values count as 0.
    void setMaxEntries(qsizetype maxEntries);

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }

    // Called synchronously with each recorded entry; it must hand slow work elsewhere.
    void setForwardSink(ForwardSink sink) { m_forwardSink = std::move(sink); }
    bool hasForwardSink() const { return static_cast<bool>(m_forwardSink); }

signals:
    void entryAppended(const PipelineLog::Entry& entry);
    void entriesDropped(qsizetype count);  // that many of the oldest, from the front
    void cleared();
    void entriesChanged();

private:
    const Scheduler& m_scheduler;
    QList<Entry> m_entries;
    qsizetype m_maxEntries = 200;
    bool m_enabled = true;
    ForwardSink m_forwardSink;
};
