#pragma once

#include "UI/Models/ThemePalette.h"

#include <QAbstractListModel>
#include <QUuid>

class MinutesStore;

// The minutes lines as a list model, one row per entry of the store in order of arrival.
// The store announces only that its lines changed; this model tells an append (rows
// inserted at the end), a rename (the same rows, new labels) and anything else (a reset)
// apart, so a long transcript is never rebuilt for one new line. GUI thread.
class MinutesListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        timeRole = Qt::UserRole + 1,  // "HH:mm:ss", local time
        speakerRole,  // the speaker's label
        speakerIDRole,  // int
    };

    explicit MinutesListModel(const MinutesStore& store, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;  // display: the text

    // The id of the newest line; null while there is none.
    QUuid newestID() const { return m_lastID; }

    // A speaker's colour: eight colours by the id's absolute value, shared by chips and lines.
    static ThemePalette::Named speakerColour(int speakerID);

private:
    void follow();
    void remember();

    const MinutesStore& m_store;
    int m_count = 0;
    QUuid m_firstID;
    QUuid m_lastID;
};
