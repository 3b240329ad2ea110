#pragma once

#include "UI/Models/AssistantSectionModel.h"
#include "UI/Settings/SettingsSection.h"

#include <QMap>

// The backend that answers, and only the fields it needs: its model, an API key (a password
// field; the key is never shown or logged), or its server's address.
class AssistantSection final : public SettingsSection {
    Q_OBJECT
public:
    explicit AssistantSection(AppContext& context, QWidget* parent = nullptr);

private:
    void showRows();

    QMap<AssistantSectionModel::Row, QWidget*> m_rows;
};
