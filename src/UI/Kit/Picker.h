#pragma once

#include <QComboBox>

// A combo box that changes only when the user means it to. The wheel over a picker that has
// no focus, and PageUp or PageDown on a focused one, go on to the page around it, which
// scrolls; a page of pickers can thus be scrolled without choosing anything on the way.
// An entry a screen reader selects in the list (its Toggle action, which selects the entry
// without moving the list's current entry there, as the keys and the pointer do) is chosen as
// a click on it would be. Keeps the model and list it is made with.
class Picker final : public QComboBox {
    Q_OBJECT
public:
    explicit Picker(QWidget* parent = nullptr);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void chooseSelectedEntry();
};
