#pragma once

#include "Persistence/AppMode.h"
#include "Persistence/ConversationPhase.h"

// Which rows of the talk tab are present besides those always shown (header, tiles, live
// transcript, footer). An absent row takes no space.
struct TalkRows {
    bool skillTips = false;  // only while idle or listening
    bool confirmation = false;  // while a skill call waits for consent
    bool errorBanner = false;  // while an error is set
    bool minutes = false;  // minutes mode: the minutes take the place of chat and composer
    bool clearHistory = false;  // under the chat, once the history holds a turn

    static TalkRows of(ConversationPhase phase, AppMode mode, bool skillPending, bool errorSet, bool hasTurns);

    friend bool operator==(const TalkRows&, const TalkRows&) = default;
};
