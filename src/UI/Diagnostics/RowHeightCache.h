#pragma once

#include <QHash>
#include <QUuid>

#include <functional>

// The heights of laid-out log rows, by entry and width. An entry's text never changes, so a
// row is measured once per width instead of at every layout of the list, which re-measures
// every row each time one is added. Bounded: past a few lists' worth it starts afresh.
class RowHeightCache {
public:
    int height(const QUuid& entry, int width, const std::function<int()>& measure);

private:
    struct Measured {
        int width;
        int height;
    };
    QHash<QUuid, Measured> m_heights;
};
