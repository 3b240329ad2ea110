#pragma once

#include "Support/Scheduler.h"

#include <QListView>

class PipelineLogModel;

// The list of a log view: rows of the pipeline log's model, with no frame or background of
// its own (its box paints those).
//
// Once the log is full, each new entry pushes the oldest row out at the top; while the user
// has scrolled away from the bottom the view moves up with the removed rows, so what they are
// reading stays in place. A view that follows the newest entry scrolls down to each new
// newest entry, once its rows are laid out, as long as the user was at the bottom; scrolling
// up stops the following, scrolling back to the bottom resumes it.
class LogListView final : public QListView {
    Q_OBJECT
public:
    LogListView(PipelineLogModel& model, Scheduler& scheduler, bool followsNewest, QWidget* parent = nullptr);

    // Whether the view shows its last row at the bottom (and, when it follows, keeps doing so).
    bool isAtBottom() const { return m_atBottom; }

protected:
    // A following view opens on its newest rows.
    void showEvent(QShowEvent* event) override;

private:
    void followNewest();
    void keepReadingPosition(int removedHeight);

    PipelineLogModel& m_model;
    SingleShot m_settle;
    const bool m_followsNewest;
    bool m_atBottom = true;
    int m_removedHeight = 0;  // of the rows leaving from the top, in pixels
};
