#pragma once

#include "Conversation/ConversationTurn.h"
#include "Persistence/AppLanguage.h"
#include "Persistence/ConversationPhase.h"

#include <QList>
#include <QString>

// What the chat lists: one bubble per turn of the recent history, keyed by the turn's id,
// then the reply still being written under one fixed key, so each bubble is updated in
// place while the text grows.
namespace ChatContent {

struct Bubble {
    QString key;
    ConversationTurn::Role role = ConversationTurn::Role::user;
    QString text;
    bool pending = false;  // the reply in progress

    friend bool operator==(const Bubble&, const Bubble&) = default;
};

// The key of the reply in progress.
QString liveKey();

// The reply in progress is the reply text, trimmed, while thinking or speaking; blank text or
// any other phase shows none.
QList<Bubble> bubbles(const QList<ConversationTurn>& turns, const QString& assistantMessage, ConversationPhase phase);

// The line under a bubble, in the interface language: how many characters the trimmed text
// has, and for the assistant about how long speaking it takes and the speech time-out in the
// speech locale.
QString footer(ConversationTurn::Role role, const QString& text, const QString& localeID, AppLanguage language);

}  // namespace ChatContent
