#pragma once

#include "UI/Diagnostics/LogPanel.h"

// The pipeline timeline: each of the last 120 events with its time, the gap to the event before it graded by
// colour, a dot in its category's colour on a rail, its category and message. The header
// counts all the log's events (counted again only while the view shows, and named for screen readers
// without the count, so neither a hidden view nor each new event is announced); "Copy" copies
// them all with their gaps. The list follows the newest event while the user is at its bottom.
class TimelineView final : public LogPanel {
    Q_OBJECT
public:
    explicit TimelineView(AppContext& context, QWidget* parent = nullptr);

protected:
    QString copyText() const override;
    void showEvent(QShowEvent* event) override;

private:
    void recount();
};
