#include "UI/Models/FireReason.h"

#include "Persistence/L10n.h"

namespace FireReason {

namespace {
struct Rule {
    const char* fragment;
    const char* label;
    const char* descriptionKey;
    ThemePalette::Named colour;
    const char* icon;
};

using ThemePalette::Named;
constexpr Rule rules[] = {
    {"dual-state", "DUAL-STATE (1s)", "tracking.fire_dual_state", Named::indigo, "lock.shield.fill"},
    {"look-away (primary, immediate)", "LOOK-AWAY (instant)", "tracking.fire_look_away", Named::pink, "eye.slash.fill"},
    {"transcript arrived during pending handoff", "LOOK-AWAY → STT-late", "tracking.fire_stt_late", Named::orange,
     "clock.arrow.circlepath"},
    {"silence + look-away", "SILENCE + LOOK-AWAY", "tracking.fire_silence_look_away", Named::purple, "waveform.slash"},
    {"predicted silence", "SILENCE (timer)", "tracking.fire_predicted_silence", Named::blue, "timer"},
    {"transcript dwell", "DWELL backstop", "tracking.fire_dwell", Named::gray, "hourglass"},
};
}  // namespace

Badge classify(const QString& reason, AppLanguage language)
{
    for (const Rule& rule : rules)
        if (reason.contains(QString::fromUtf8(rule.fragment)))
            return {QString::fromUtf8(rule.label), L10n::t(QLatin1String(rule.descriptionKey), language), rule.colour,
                    QString::fromLatin1(rule.icon)};
    if (reason == QStringLiteral("—"))
        return {QStringLiteral("none yet"), L10n::t(QStringLiteral("tracking.fire_none"), language),
                TextTint::secondary(), QStringLiteral("circle.dashed")};
    return {QStringLiteral("OTHER"), reason, TextTint::secondary(), QStringLiteral("questionmark.circle")};
}

QString ageText(const std::optional<QDateTime>& lastFireAt, std::chrono::system_clock::time_point now)
{
    if (!lastFireAt)
        return QStringLiteral("—");
    const std::chrono::system_clock::time_point fired{std::chrono::milliseconds(lastFireAt->toMSecsSinceEpoch())};
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now - fired).count();
    return QStringLiteral("%1ms ago").arg(ms);
}

}  // namespace FireReason
