#include "UI/Models/PipelineLogModel.h"

PipelineLogModel::PipelineLogModel(const PipelineLog& log, QObject* parent)
    : QAbstractListModel(parent), m_log(log), m_rows(log.entries())
{
    connect(&log, &PipelineLog::entryAppended, this, &PipelineLogModel::append);
    connect(&log, &PipelineLog::entriesDropped, this, &PipelineLogModel::dropOldest);
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
    const int row = int(m_rows.size());
    beginInsertRows(QModelIndex(), row, row);
    m_rows.append(entry);
    endInsertRows();
    emit newestChanged();
}

void PipelineLogModel::dropOldest(qsizetype count)
{
    const int dropped = int(std::min(count, m_rows.size()));
    if (dropped <= 0)
        return;
    beginRemoveRows(QModelIndex(), 0, dropped - 1);
    m_rows.remove(0, dropped);
    endRemoveRows();
    // The new first row has no entry above it any more, so its gap reads differently.
    if (!m_rows.isEmpty())
        emit dataChanged(index(0), index(0));
    else
        emit newestChanged();
}

void PipelineLogModel::reset()
{
    beginResetModel();
    m_rows = m_log.entries();
    endResetModel();
    emit newestChanged();
}
