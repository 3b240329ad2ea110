#include "UI/Models/IdleMoodAnimator.h"

IdleMoodAnimator::IdleMoodAnimator(Scheduler& scheduler, quint32 seed, QObject* parent)
    : QObject(parent), m_random(seed), m_next(scheduler)
{
}

void IdleMoodAnimator::start()
{
    if (!isRunning())
        change();
}

void IdleMoodAnimator::change()
{
    constexpr auto moods = allCases<IdleMood>();
    // Draw among the other moods: skip over the current one.
    auto index = m_random.bounded(static_cast<quint32>(moods.size() - 1));
    if (index >= static_cast<quint32>(m_current))
        ++index;
    m_current = moods[index];
    const int stay = m_random.bounded(int(shortestStay.count()), int(longestStay.count()) + 1);
    m_next.start(std::chrono::milliseconds(stay), [this] { change(); });
    emit currentChanged();
}
