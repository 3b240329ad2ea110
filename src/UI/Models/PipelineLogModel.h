#pragma once

#include "Diagnostics/PipelineLog.h"

#include <QAbstractListModel>
#include <QList>
#include <QUuid>

#include <optional>

// The pipeline log as a list, one row per entry, oldest first, kept in step with the log row
// by row: a new entry inserts one row at the end, the entries the log drops leave from the
// front, a clear resets. A list view thus lays out one new row per entry instead of
// rebuilding the whole list. GUI thread; the log must outlive the model.
class PipelineLogModel final : public QAbstractListModel {
    Q_OBJECT
public:
    explicit PipelineLogModel(const PipelineLog& log, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    // The display role is the entry's log line (what screen readers read of the row).
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    const PipelineLog::Entry& entry(int row) const { return m_rows[row]; }
    // The entry shown just above `row`, or none for the first row.
    const PipelineLog::Entry* previous(int row) const { return row > 0 ? &m_rows[row - 1] : nullptr; }

    // The id of the newest entry; none while the log is empty.
    std::optional<QUuid> newestId() const;

signals:
    // A different entry is now the newest (also once the log is full and its length stays put).
    void newestChanged();

private:
    void append(const PipelineLog::Entry& entry);
    void dropOldest(qsizetype count);
    void reset();

    const PipelineLog& m_log;
    QList<PipelineLog::Entry> m_rows;  // a copy, so rows change only when announced
};
