#pragma once

#include <QWidget>

class LogListView;
class PipelineLogModel;
class QLabel;
struct AppContext;

// What the raw log and the timeline share: a header with a title, a copy button and a Clear
// button (labelled in the interface language), and below it a box of fixed height listing
// the newest `window` entries of the pipeline log. The list follows the
// log itself, row by row, so new entries and a clear show at once. Copying puts the panel's
// text of the whole log on the clipboard; Clear asks the engine to empty the log.
class LogPanel : public QWidget {
    Q_OBJECT
public:
    PipelineLogModel& model() { return *m_model; }
    LogListView& list() { return *m_list; }

protected:
    LogPanel(AppContext& context, const char* copyKey, int window, int listHeight, bool followsNewest, QWidget* parent);

    // The panel's name for screen readers, set once: a label with a name of its own announces
    // no change of its text, so a reader is not told of every new line.
    void setName(const QString& name);
    // The header's text, which may change (a count).
    void setTitle(const QString& title);
    // The text "Copy" puts on the clipboard.
    virtual QString copyText() const = 0;

    AppContext& m_context;

private:
    PipelineLogModel* m_model;
    QLabel* m_title;
    LogListView* m_list;
};
