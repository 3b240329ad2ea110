#include "UI/Models/SegmentWidths.h"

#include <algorithm>
#include <numeric>

namespace SegmentWidths {

QList<int> share(const QList<int>& wanted, int available, int smallest)
{
    const auto total = [&wanted](int cap) {
        return std::accumulate(wanted.begin(), wanted.end(), 0,
                               [cap](int sum, int w) { return sum + std::min(w, cap); });
    };
    if (wanted.isEmpty() || total(available) <= available)
        return wanted;
    // The largest common cap that fits; widths under it stay as they are.
    int low = smallest;
    int high = *std::max_element(wanted.begin(), wanted.end());
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (total(middle) <= available)
            low = middle;
        else
            high = middle - 1;
    }
    QList<int> widths;
    widths.reserve(wanted.size());
    for (const int w : wanted)
        widths << std::max(std::min(w, low), std::min(w, smallest));
    return widths;
}

}  // namespace SegmentWidths
