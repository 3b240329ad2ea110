#pragma once

#include <QWidget>

struct AppContext;

// The microphone level along the bottom of the face card: a faint track and a fill as wide as
// the level, coloured by loudness while listening is on and grey while it is off. Hidden from
// screen readers (the phase label says what matters).
class MicLevelBar final : public QWidget {
    Q_OBJECT
public:
    explicit MicLevelBar(AppContext& context, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    AppContext& m_context;
};
