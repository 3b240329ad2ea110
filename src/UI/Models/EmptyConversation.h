#pragma once

#include "Persistence/ConversationPhase.h"

#include <QString>

class AppSettings;
class EngineState;

// The hint an empty conversation (the chat, or the minutes) shows: what the user can do now to
// begin, never an action whose control is disabled. Clock in while off duty or to wake from a
// rest; speaking (and typing, where there is a composer) while the session runs; after a
// failed start, mending what the error banner names and clocking out and in again.
namespace EmptyConversation {

// The hint's localization key.
QString hintKey(bool clockedIn, bool resting, ConversationPhase phase, bool canType);
// The same for the engine and the settings as they are now.
QString hintKey(const EngineState& engine, const AppSettings& settings, bool canType);

}  // namespace EmptyConversation
