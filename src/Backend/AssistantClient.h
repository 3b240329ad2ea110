#pragma once

#include "Backend/ReplyStream.h"
#include "Conversation/ConversationTurn.h"

#include <QList>
#include <QString>

#include <memory>

// A language-model backend. The engine makes a fresh client for each turn and asks it once
// for the reply stream.
class AssistantClient {
public:
    virtual ~AssistantClient() = default;

    // Starts the reply at once. `systemPrompt` may be empty (the client then uses its
    // built-in one); `history` is the recent conversation, oldest first, which only the
    // command-line agents send. The stream may outlive the client.
    virtual std::unique_ptr<ReplyStream> stream(const QString& systemPrompt, const QString& transcript,
                                                const QString& localeID,
                                                const QList<ConversationTurn>& history) const = 0;
};
