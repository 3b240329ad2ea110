#include "UI/Models/MinutesListModel.h"

#include "Pipeline/MinutesStore.h"

#include <array>
#include <cstdlib>

MinutesListModel::MinutesListModel(const MinutesStore& store, QObject* parent)
    : QAbstractListModel(parent), m_store(store)
{
    remember();
    connect(&store, &MinutesStore::entriesChanged, this, &MinutesListModel::follow);
}

int MinutesListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_count;
}

QVariant MinutesListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const MinutesEntry& entry = m_store.entries().at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return entry.text;
    case timeRole:
        return entry.timestamp.toLocalTime().toString(QStringLiteral("HH:mm:ss"));
    case speakerRole:
        return entry.speakerLabel;
    case speakerIDRole:
        return entry.speakerID;
    default:
        return {};
    }
}

ThemePalette::Named MinutesListModel::speakerColour(int speakerID)
{
    using ThemePalette::Named;
    static constexpr std::array colours{Named::blue, Named::green, Named::orange, Named::purple,
                                        Named::pink, Named::teal,  Named::red,    Named::indigo};
    return colours[std::size_t(std::abs(speakerID % int(colours.size())))];
}

void MinutesListModel::follow()
{
    const QList<MinutesEntry>& entries = m_store.entries();
    const int count = int(entries.size());
    // Lines kept their place when the first and the last known ones are where they were.
    const bool kept =
        m_count == 0 || (count >= m_count && entries.first().id == m_firstID && entries.at(m_count - 1).id == m_lastID);
    if (kept && count > m_count) {
        beginInsertRows(QModelIndex(), m_count, count - 1);
        remember();
        endInsertRows();
    } else if (kept && count == m_count) {
        if (count > 0)
            emit dataChanged(index(0), index(count - 1), {speakerRole, speakerIDRole, Qt::DisplayRole});
    } else {
        beginResetModel();
        remember();
        endResetModel();
    }
}

void MinutesListModel::remember()
{
    const QList<MinutesEntry>& entries = m_store.entries();
    m_count = int(entries.size());
    m_firstID = entries.isEmpty() ? QUuid() : entries.first().id;
    m_lastID = entries.isEmpty() ? QUuid() : entries.last().id;
}
