#include "UI/Models/FireReason.h"

namespace FireReason {

namespace {
struct Rule {
    const char* fragment;
    const char* label;
    const char* description;
    ThemePalette::Named colour;
    const char* icon;
};

using ThemePalette::Named;
constexpr Rule rules[] = {
    {"dual-state", "DUAL-STATE (1s)", "Spoke=yes + lookAway 1초 유지", Named::indigo, "lock.shield.fill"},
    {"look-away (primary, immediate)", "LOOK-AWAY (instant)", "발화 시작 있음 → 0ms", Named::pink, "eye.slash.fill"},
    {"transcript arrived during pending handoff", "LOOK-AWAY → STT-late", "lookaway 후 STT 도착", Named::orange,
     "clock.arrow.circlepath"},
    {"silence + look-away", "SILENCE + LOOK-AWAY", "VAD 침묵 시점에 lookaway", Named::purple, "waveform.slash"},
    {"predicted silence", "SILENCE (timer)", "예측된 침묵 timer", Named::blue, "timer"},
    {"transcript dwell", "DWELL backstop", "transcript 변화 없음 backstop", Named::gray, "hourglass"},
};
}  // namespace

Badge classify(const QString& reason)
{
    for (const Rule& rule : rules)
        if (reason.contains(QString::fromUtf8(rule.fragment)))
            return {QString::fromUtf8(rule.label), QString::fromUtf8(rule.description), rule.colour,
                    QString::fromLatin1(rule.icon)};
    if (reason == QStringLiteral("—"))
        return {QStringLiteral("none yet"), QStringLiteral("첫 fire 대기"), TextTint::secondary(),
                QStringLiteral("circle.dashed")};
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
