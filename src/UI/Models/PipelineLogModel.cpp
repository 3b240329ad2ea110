#include "UI/Models/PipelineLogModel.h"

namespace {
QList<PipelineLog::Entry> newest(const QList<PipelineLog::Entry>& entries, int count)
{
    return entries.last(std::min(entries.size(), qsizetype(count)));
}
}  // namespace

PipelineLogModel::PipelineLogModel(const PipelineLog& log, int window, QObject* parent)
    : QAbstractListModel(parent), m_log(log), m_window(std::max(window, 0)), m_rows(newest(log.entries(), m_window))
{
    connect(&log, &PipelineLog::entryAppended, this, &PipelineLogModel::append);
    connect(&log, &PipelineLog::entriesDropped, this, &PipelineLogModel::followDrops);
    connect(&log, &PipelineLog::cleared, this, &PipelineLogModel::reset);
}

int PipelineLogModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant PipelineLogModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
        role != Qt::DisplayRole)
        return {};
    return m_rows[index.row()].line();
}

std::optional<QUuid> PipelineLogModel::newestId() const
{
    if (m_rows.isEmpty())
        return std::nullopt;
    return m_rows.last().id;
}

void PipelineLogModel::append(const PipelineLog::Entry& entry)
{
    if (m_window == 0)
        return;
    if (m_rows.size() == m_window)
        removeFirstRows(1);
    const int row = int(m_rows.size());
    beginInsertRows(QModelIndex(), row, row);
    m_rows.append(entry);
    endInsertRows();
    emit newestChanged();
}

void PipelineLogModel::followDrops()
{
    const bool hadRows = !m_rows.isEmpty();
    removeFirstRows(int(m_rows.size() - m_log.entries().size()));
    if (hadRows && m_rows.isEmpty())
        emit newestChanged();
}

void PipelineLogModel::removeFirstRows(int count)
{
    if (count <= 0)
        return;
    beginRemoveRows(QModelIndex(), 0, count - 1);
    m_rows.remove(0, count);
    endRemoveRows();
    // The new first row has no entry above it any more, so its gap reads differently.
    if (!m_rows.isEmpty())
        emit dataChanged(index(0), index(0));
}

void PipelineLogModel::reset()
{
    beginResetModel();
    m_rows = newest(m_log.entries(), m_window);
    endResetModel();
    emit newestChanged();
}
