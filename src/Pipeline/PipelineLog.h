#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>

#include <chrono>
#include <functional>

// The in-app event log of the conversation pipeline: short entries of a category and a
// message, kept newest-last and bounded, shown by the diagnostics views and the report,
// mirrored to the system log and optionally forwarded (telemetry). GUI thread only.
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

    explicit PipelineLog(QObject* parent = nullptr);

    // Stores, mirrors and forwards one entry, unless the log is disabled.
    void record(const QString& category, const QString& message);

    const QList<Entry>& entries() const { return m_entries; }
    // Assigning an empty list clears the log; the switch, bound and sink stay as they are.
    void setEntries(QList<Entry> entries);

    qsizetype maxEntries() const { return m_maxEntries; }
    // Applies from the next record on; negative values count as 0.
    void setMaxEntries(qsizetype maxEntries);

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }

    // Called synchronously with each recorded entry; it must hand slow work elsewhere.
    void setForwardSink(ForwardSink sink) { m_forwardSink = std::move(sink); }
    bool hasForwardSink() const { return static_cast<bool>(m_forwardSink); }

signals:
    void entriesChanged();

private:
    QList<Entry> m_entries;
    qsizetype m_maxEntries = 200;
    bool m_enabled = true;
    ForwardSink m_forwardSink;
};
