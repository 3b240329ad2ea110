#include "UI/Models/EmptyConversation.h"

#include "Persistence/AppSettings.h"
#include "Pipeline/EngineState.h"

namespace EmptyConversation {

QString hintKey(bool clockedIn, bool resting, ConversationPhase phase, bool canType)
{
    if (resting)
        return QStringLiteral("chat.empty_resting");
    if (!clockedIn)
        return QStringLiteral("chat.empty");
    if (phase == ConversationPhase::error)
        return QStringLiteral("chat.empty_failed");
    return canType ? QStringLiteral("chat.empty_speak_or_type") : QStringLiteral("chat.empty_speak");
}

QString hintKey(const EngineState& engine, const AppSettings& settings, bool canType)
{
    return hintKey(engine.isEnabled(), settings.restingUntil().has_value(), engine.phase(), canType);
}

}  // namespace EmptyConversation
