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
        return QStringLiteral(
            "Timeline 렌더링이 OFF 입니다. 로그는 계속 메모리에 수집되지만 화면에는 표시되지 않습니다.");
    }
    return QString();
}
