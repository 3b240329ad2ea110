#pragma once

#include "Support/Scheduler.h"
#include "UI/Models/IdleMood.h"

#include <QObject>
#include <QRandomGenerator>

// Picks the idle mood to show and changes it at random while running: at once on start(),
// then every 12 to 25 seconds, never to the mood already shown. GUI thread only.
class IdleMoodAnimator final : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds shortestStay{12'000};
    static constexpr std::chrono::milliseconds longestStay{25'000};

    explicit IdleMoodAnimator(Scheduler& scheduler, quint32 seed = QRandomGenerator::global()->generate(),
                              QObject* parent = nullptr);

    IdleMood current() const { return m_current; }
    bool isRunning() const { return m_next.isPending(); }

    // Changes the mood now and keeps changing it; does nothing while already running.
    void start();
    // Keeps the current mood until the next start().
    void stop() { m_next.cancel(); }

signals:
    void currentChanged();

private:
    void change();

    QRandomGenerator m_random;
    IdleMood m_current = IdleMood::sleeping;
    SingleShot m_next;  // last: cancelled before the rest goes
};
