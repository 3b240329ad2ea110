#include "UI/Diagnostics/RowHeightCache.h"

namespace {
constexpr qsizetype capacity = 1000;  // five full logs
}

int RowHeightCache::height(const QUuid& entry, int width, const std::function<int()>& measure)
{
    const auto found = m_heights.constFind(entry);
    if (found != m_heights.constEnd() && found->width == width)
        return found->height;
    if (m_heights.size() >= capacity)
        m_heights.clear();
    const int measured = measure();
    m_heights.insert(entry, {width, measured});
    return measured;
}
