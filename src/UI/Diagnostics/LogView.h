#pragma once

#include "UI/Diagnostics/LogPanel.h"

// The raw pipeline log: one line per entry of the newest 80 (time, category in its colour,
// message), the whole log copied by "Copy all", one line by its row's copy button or by Ctrl+C on the chosen row.
// New entries leave the scroll position alone.
class LogView final : public LogPanel {
    Q_OBJECT
public:
    explicit LogView(AppContext& context, QWidget* parent = nullptr);

    void copyLine(int row);

protected:
    QString copyText() const override;
};
