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
    if (std::accumulate(wanted.begin(), wanted.end(), 0) <= available)
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

QList<int> fit(const QList<Segment>& segments, int available)
{
    const auto sum = [](const QList<int>& widths) { return std::accumulate(widths.begin(), widths.end(), 0); };
    QList<int> widths;
    for (const Segment& segment : segments)
        widths << segment.full;
    if (sum(widths) <= available)
        return widths;
    widths.clear();
    for (const Segment& segment : segments)
        widths << segment.whole;
    // The widest captions change to their short forms first.
    QList<qsizetype> widestFirst(segments.size());
    std::iota(widestFirst.begin(), widestFirst.end(), 0);
    std::stable_sort(widestFirst.begin(), widestFirst.end(),
                     [&segments](qsizetype a, qsizetype b) { return segments[a].whole > segments[b].whole; });
    for (const qsizetype i : widestFirst) {
        if (sum(widths) <= available)
            break;
        widths[i] = std::min(widths[i], segments[i].shortened);
    }
    if (sum(widths) > available) {
        int least = available;
        for (const Segment& segment : segments)
            least = std::min(least, segment.least);
        return share(widths, available, least);
    }
    int room = available - sum(widths);
    for (qsizetype i = 0; i < segments.size(); ++i) {
        const int more = segments[i].full - widths[i];
        if (widths[i] == segments[i].whole && more > 0 && more <= room) {
            widths[i] = segments[i].full;
            room -= more;
        }
    }
    return widths;
}

QList<qsizetype> lineStarts(const QList<Segment>& segments, int spacing, int available)
{
    QList<qsizetype> starts;
    int used = 0;
    for (qsizetype i = 0; i < segments.size(); ++i) {
        if (!starts.isEmpty() && used + spacing + segments[i].whole <= available) {
            used += spacing + segments[i].whole;
            continue;
        }
        starts << i;
        used = segments[i].whole;
    }
    return starts;
}

}  // namespace SegmentWidths
