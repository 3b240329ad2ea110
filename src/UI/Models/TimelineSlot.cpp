#include "UI/Models/TimelineSlot.h"

#include "Persistence/L10n.h"

TimelineSlot timelineSlot(bool loggingEnabled, bool timelineDrawingEnabled)
{
    if (!timelineDrawingEnabled)
        return TimelineSlot::drawingOffNotice;
    return loggingEnabled ? TimelineSlot::timeline : TimelineSlot::loggingOffNotice;
}

QString timelineSlotNotice(TimelineSlot slot, AppLanguage language)
{
    switch (slot) {
    case TimelineSlot::timeline:
        break;
    case TimelineSlot::loggingOffNotice:
        return L10n::t(QStringLiteral("settings.diagnostics_logging_help"), language);
    case TimelineSlot::drawingOffNotice:
        return L10n::t(QStringLiteral("diagnostics.timeline_off"), language);
    }
    return QString();
}
