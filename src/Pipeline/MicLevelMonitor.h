#pragma once

#include <QObject>

// The microphone level the window shows (level bar, face, tracking panel), 0.0 to 1.0.
// Small changes are not published, which bounds the redraws while the level is steady.
class MicLevelMonitor final : public QObject {
    Q_OBJECT
    Q_PROPERTY(double level READ level NOTIFY levelChanged)
public:
    // The smallest change of the level that is published.
    static constexpr double kPublishStep = 0.012;

    explicit MicLevelMonitor(QObject* parent = nullptr);

    double level() const { return m_level; }
    // Publishes a new level only when it differs from the shown one by at least the step.
    void offer(double level);
    // Publishes the level as it is (0 when a session ends).
    void setLevel(double level);

signals:
    void levelChanged();

private:
    double m_level = 0.0;
};
