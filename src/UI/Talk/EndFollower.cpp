#include "UI/Talk/EndFollower.h"

#include <QScrollBar>

EndFollower::EndFollower(QScrollBar& bar) : QObject(&bar), m_bar(bar)
{
    // Only moves change the intent: a range that grows under a resting view leaves its
    // value as it was, so it tells nothing about where the user wants to be.
    connect(&bar, &QScrollBar::valueChanged, this,
            [this](int value) { m_following = value >= m_bar.maximum() - slack; });
    connect(&bar, &QScrollBar::rangeChanged, this, &EndFollower::catchUp);
}

void EndFollower::catchUp()
{
    if (m_following)
        m_bar.setValue(m_bar.maximum());
}
