#pragma once

#include <QWidget>

class QCheckBox;
class Theme;
class TintedLabel;

// A switch with its title and, below the title, a dimmed description that wraps instead of
// being cut. The check box carries the title, so it is also its accessible name.
class SwitchRow final : public QWidget {
    Q_OBJECT
public:
    SwitchRow(Theme& theme, int titlePixels, int descriptionPixels, QWidget* parent = nullptr);

    QCheckBox& box() { return *m_box; }
    void setTexts(const QString& title, const QString& description);

private:
    QCheckBox* m_box;
    TintedLabel* m_description;
};
