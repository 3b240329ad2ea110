#pragma once

#include <QWidget>

class QGridLayout;
class QHBoxLayout;
class QLabel;

// One settings row: a label on the leading side, its controls on the trailing side and, when
// there is one, a note under them. The label and every control are children of the row
// itself: Qt looks for a control's label among the control's siblings, so only there does the
// label, made the buddy of the control it names, give that control its labelled-by relation
// and a screen reader say which setting a picker or field changes.
class LabelledRow : public QWidget {
    Q_OBJECT
public:
    explicit LabelledRow(QWidget* parent = nullptr);

    // The label, and the control it names (none for a row that only shows a value).
    void setLabel(QLabel* label, QWidget* named);
    void addControl(QWidget* control);
    // Small print across the row, under the controls.
    void setNote(QWidget* note);

private:
    QGridLayout* m_grid;
    QHBoxLayout* m_controls;
};
