#include "SpeechWatchdog/SpeechWatchdog.h"

#include "Support/Text.h"

#include <algorithm>

namespace {

struct Rule {
    const char* localePrefix;
    double secondsPerCharacter;
    double floorSeconds;
};

constexpr Rule kRules[] = {
    {"ko", 0.25, 10.0},
    {"zh", 0.28, 10.0},
    {"ja", 0.2, 10.0},
};
constexpr Rule kOtherLocales{"", 0.08, 3.0};

// Four times the expected speaking time leaves room for slow voices and long pauses.
constexpr double kMargin = 4.0;

}  // namespace

namespace SpeechWatchdog {

double timeout(const QString& text, const std::optional<QString>& localeID)
{
    const QString locale = localeID.value_or(QStringLiteral("en-US"));
    const auto characters = static_cast<double>(std::max<qsizetype>(Text::graphemeCount(text), 1));
    const auto rule = std::ranges::find_if(
        kRules, [&](const Rule& r) { return locale.startsWith(QLatin1String(r.localePrefix), Qt::CaseSensitive); });
    const Rule& chosen = rule != std::end(kRules) ? *rule : kOtherLocales;
    return std::max(chosen.floorSeconds, chosen.secondsPerCharacter * characters * kMargin);
}

}  // namespace SpeechWatchdog
