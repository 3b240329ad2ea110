#include "Vision/PoseSmoother.h"

#include <algorithm>
#include <vector>

PoseSmoother::Angles PoseSmoother::add(const Angles& reading)
{
    m_readings.push_back(reading);
    if (m_readings.size() > m_window)
        m_readings.pop_front();
    Angles result{};
    std::vector<double> values(m_readings.size());
    for (std::size_t angle = 0; angle < result.size(); ++angle) {
        for (std::size_t i = 0; i < m_readings.size(); ++i)
            values[i] = m_readings[i][angle];
        std::sort(values.begin(), values.end());
        const std::size_t middle = values.size() / 2;
        result[angle] = values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
    }
    return result;
}
