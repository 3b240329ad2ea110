#pragma once

#include "Diagnostics/DiagnosticReport.h"
#include "UI/Diagnostics/RoundedPanel.h"

#include <optional>

class ElidedLabel;
class QLabel;
class QPushButton;
class QToolButton;
class TintedLabel;
struct AppContext;

// The diagnostics tab's report box: its button writes a diagnostic report of the system, the
// settings and the pipeline log, shows it in the file manager and opens a mail draft to the
// maker. The last report written is named below, with a button that shows it again; a
// report that could not be written leaves no name.
class ReportBox final : public RoundedPanel {
    Q_OBJECT
public:
    explicit ReportBox(AppContext& context, QWidget* parent = nullptr);

    void send();
    const std::optional<QString>& lastReport() const { return m_lastReport; }

private:
    void relabel();
    void showLastReport();

    AppContext& m_context;
    DiagnosticReport m_report;
    std::optional<QString> m_lastReport;
    QLabel* m_title;
    QPushButton* m_send;
    TintedLabel* m_description;
    QWidget* m_fileRow;
    ElidedLabel* m_fileName;
    QToolButton* m_reveal = nullptr;
};
