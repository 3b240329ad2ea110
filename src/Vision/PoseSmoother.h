#pragma once

#include <array>
#include <cstddef>
#include <deque>

// The median of each angle over the last few readings: one outlier among them never shows,
// while a real turn shows after half of them.
class PoseSmoother {
public:
    using Angles = std::array<double, 3>;  // yaw, pitch, roll

    explicit PoseSmoother(std::size_t window) : m_window(window == 0 ? 1 : window) {}

    Angles add(const Angles& reading);
    void clear() { m_readings.clear(); }

private:
    const std::size_t m_window;
    std::deque<Angles> m_readings;
};
