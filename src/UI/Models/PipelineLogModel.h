#pragma once

#include "Diagnostics/PipelineLog.h"

#include <QAbstractListModel>
#include <QList>
#include <QUuid>

#include <optional>

// The newest entries of the pipeline log as a list, at most `window` of them, one row per
// entry, oldest first, kept in step with the log row by row: a new entry inserts one row at
// the end (and once the window is full pushes the oldest row out at the front), the entries
// the log drops leave from the front, a clear resets. A list view thus lays out one new row
// per entry instead of rebuilding the whole list. GUI thread; the log must outlive the model.
class PipelineLogModel final : public QAbstractListModel {
    Q_OBJECT
public:
    PipelineLogModel(const PipelineLog& log, int window, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    // The display role is the entry's log line (what screen readers read of the row).
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    const PipelineLog::Entry& entry(int row) const { return m_rows[row]; }
    // The entry shown just above `row`, or none for the first row (also when older entries
    // lie beyond the window).
    const PipelineLog::Entry* previous(int row) const { return row > 0 ? &m_rows[row - 1] : nullptr; }

    // The id of the newest entry; none while the log is empty.
    std::optional<QUuid> newestId() const;

signals:
    // A different entry is now the newest (also once the log is full and its length stays put).
    void newestChanged();

private:
    void append(const PipelineLog::Entry& entry);
    // Rows the log no longer holds leave from the front.
    void followDrops();
    void removeFirstRows(int count);
    void reset();

    const PipelineLog& m_log;
    const int m_window;
    QList<PipelineLog::Entry> m_rows;  // a copy, so rows change only when announced
};
