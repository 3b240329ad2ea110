#pragma once

#include <QComboBox>

// A combo box that changes only when the user means it to. The wheel over a picker that has
// no focus, and PageUp or PageDown on a focused one, go on to the page around it, which
// scrolls; a page of pickers can thus be scrolled without choosing anything on the way.
class Picker final : public QComboBox {
    Q_OBJECT
public:
    explicit Picker(QWidget* parent = nullptr);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
