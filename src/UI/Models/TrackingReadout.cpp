#include "UI/Models/TrackingReadout.h"

#include "Persistence/L10n.h"
#include "Support/RawEnum.h"
#include "Support/Text.h"

#include <QLocale>

#include <algorithm>

namespace TrackingReadout {

namespace {
using ThemePalette::Named;

Value flag(bool on, const char* yesKey, const char* noKey, AppLanguage language)
{
    const QString text = L10n::t(QLatin1String(on ? yesKey : noKey), language);
    return on ? Value{text, Named::green} : Value{text, TextTint::secondary()};
}

// Green below the first bound, then blue, orange, and red from the last bound on.
TextTint graded(double value, double green, double blue, double orange)
{
    if (value < green)
        return Named::green;
    if (value < blue)
        return Named::blue;
    if (value < orange)
        return Named::orange;
    return Named::red;
}
}  // namespace

Value phase(ConversationPhase phase, AppLanguage language)
{
    const QString text = L10n::t(QStringLiteral("phase.") + rawValue(phase), language);
    switch (phase) {
    case ConversationPhase::idle:
        break;
    case ConversationPhase::listening:
        return {text, Named::green};
    case ConversationPhase::thinking:
        return {text, Named::orange};
    case ConversationPhase::speaking:
        return {text, Named::blue};
    case ConversationPhase::interrupted:
        return {text, Named::purple};
    case ConversationPhase::error:
        return {text, Named::red};
    }
    return {text, TextTint::secondary()};
}

Meter micLevel(double level)
{
    // A level that is not a number counts as silence.
    const double clamped = level >= 0 ? std::min(level, 1.0) : 0.0;
    const bool heard = clamped >= 0.05;
    return {clamped, QString::asprintf("%.2f", clamped), heard ? TextTint(Named::green) : TextTint::secondary(),
            heard ? Named::green : Named::gray};
}

Value angle(double radians)
{
    return {QString::asprintf("%+.2f rad", radians), TextTint::primary()};
}

Value gaze(GazeStatus status, AppLanguage language)
{
    const auto text = [language](const char* key) { return L10n::t(QLatin1String(key), language); };
    switch (status) {
    case GazeStatus::lookingAtScreen:
        return {text("controls.eye_contact_badge"), Named::green};
    case GazeStatus::lookingAway:
        return {text("controls.looking_away_badge"), Named::orange};
    case GazeStatus::noFace:
        break;
    }
    return {text("controls.no_face_badge"), TextTint::secondary()};
}

Value transcriptLength(const QString& transcript)
{
    return {QString::number(Text::graphemeCount(transcript)), TextTint::primary()};
}

Value spoke(bool hasStartedSpeaking, AppLanguage language)
{
    return flag(hasStartedSpeaking, "tracking.spoke_yes", "tracking.spoke_no", language);
}

Value camera(bool gazeEnabled, AppLanguage language)
{
    return flag(gazeEnabled, "tracking.cam_on", "tracking.cam_off", language);
}

Value faceProcessing(double ms)
{
    const QString text = QString::asprintf("%.1f ms", ms);
    if (ms <= 0)
        return {text, TextTint::secondary()};
    return {text, graded(ms, 12, 25, 50)};
}

Value memory(std::int64_t residentBytes)
{
    return {QLocale::c().formattedDataSize(residentBytes, 1, QLocale::DataSizeTraditionalFormat), TextTint::primary()};
}

Value cpu(double percent, double percentOfOneCore, int cores)
{
    return {QString::asprintf("%.1f%% \u00b7 %.1f/%d cores", percent, percentOfOneCore / 100.0, cores),
            graded(percent, 10, 25, 50)};
}

}  // namespace TrackingReadout
