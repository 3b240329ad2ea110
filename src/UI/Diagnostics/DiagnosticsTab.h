#pragma once

#include <QScrollArea>

class LogView;
class QLabel;
class QPushButton;
class QVBoxLayout;
class SwitchRow;
struct AppContext;

// The diagnostics tab: one scrolling column of the live tracking panel, the diagnostic-logging
// switch, the performance probes, the pipeline timeline (or a notice saying why it is not
// drawn), the report box and the raw log, shown on demand.
class DiagnosticsTab final : public QScrollArea {
    Q_OBJECT
public:
    explicit DiagnosticsTab(AppContext& context, QWidget* parent = nullptr);

private:
    void relabel();
    void fillTimelineSlot();
    void toggleRawLog();

    AppContext& m_context;
    QLabel* m_title;
    SwitchRow* m_logging;
    QWidget* m_probes = nullptr;
    QVBoxLayout* m_timelineSlot;
    QWidget* m_timelineSlotContent = nullptr;
    QPushButton* m_logButton;
    QVBoxLayout* m_rawLogSlot;
    LogView* m_rawLog = nullptr;
};
