#include "Support/ReferenceDate.h"

#include <cmath>

namespace ReferenceDate {

namespace {
constexpr qint64 kReferenceMSecsSinceEpoch = 978307200000LL;
}  // namespace

double toSeconds(const QDateTime& date)
{
    return static_cast<double>(date.toMSecsSinceEpoch() - kReferenceMSecsSinceEpoch) / 1000.0;
}

QDateTime fromSeconds(double seconds)
{
    return QDateTime::fromMSecsSinceEpoch(std::llround(seconds * 1000.0) + kReferenceMSecsSinceEpoch, Qt::UTC);
}

}  // namespace ReferenceDate
