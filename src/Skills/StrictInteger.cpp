#include "Skills/StrictInteger.h"

#include <limits>

namespace StrictInteger {

std::optional<std::int64_t> parse(QStringView text)
{
    const bool negative = text.startsWith(u'-');
    if (negative || text.startsWith(u'+'))
        text = text.mid(1);
    if (text.isEmpty())
        return std::nullopt;
    // Accumulate towards the negative side, whose range is one larger.
    constexpr std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
    std::int64_t value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        const int digit = c.unicode() - u'0';
        if (value < (lowest + digit) / 10)
            return std::nullopt;
        value = value * 10 - digit;
    }
    if (!negative && value == lowest)
        return std::nullopt;
    return negative ? value : -value;
}

}  // namespace StrictInteger
