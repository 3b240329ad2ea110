#include "UI/Models/TalkRows.h"

TalkRows TalkRows::of(ConversationPhase phase, AppMode mode, bool skillPending, bool errorSet, bool hasTurns)
{
    TalkRows rows;
    rows.skillTips = phase == ConversationPhase::idle || phase == ConversationPhase::listening;
    rows.confirmation = skillPending;
    rows.errorBanner = errorSet;
    rows.minutes = mode == AppMode::minutes;
    rows.clearHistory = !rows.minutes && hasTurns;
    return rows;
}
