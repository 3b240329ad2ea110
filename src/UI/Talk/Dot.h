#pragma once

#include <QColor>
#include <QWidget>

// A filled circle of one colour, as the phase, gaze and speaker marks.
class Dot final : public QWidget {
    Q_OBJECT
public:
    explicit Dot(int diameter, QWidget* parent = nullptr);

    void setColour(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_colour;
};
