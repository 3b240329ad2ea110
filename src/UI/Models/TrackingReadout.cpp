#include "UI/Models/TrackingReadout.h"

#include "Support/RawEnum.h"
#include "Support/Text.h"

#include <QLocale>

#include <algorithm>

namespace TrackingReadout {

namespace {
using ThemePalette::Named;

Value flag(bool on, const char* yes, const char* no)
{
    return on ? Value{QString::fromLatin1(yes), Named::green} : Value{QString::fromLatin1(no), TextTint::secondary()};
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

Value phase(ConversationPhase phase)
{
    const QString text = rawValue(phase);
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

Value gaze(GazeStatus status)
{
    switch (status) {
    case GazeStatus::lookingAtScreen:
        return {rawValue(status), Named::green};
    case GazeStatus::lookingAway:
        return {rawValue(status), Named::orange};
    case GazeStatus::noFace:
        break;
    }
    return {rawValue(status), TextTint::secondary()};
}

Value transcriptLength(const QString& transcript)
{
    return {QString::number(Text::graphemeCount(transcript)), TextTint::primary()};
}

Value spoke(bool hasStartedSpeaking)
{
    return flag(hasStartedSpeaking, "yes", "no");
}

Value camera(bool gazeEnabled)
{
    return flag(gazeEnabled, "on", "off");
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
