#pragma once

#include "Support/RawEnum.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QUuid>

// One turn of the conversation: what the user or the assistant said, and when.
struct ConversationTurn {
    enum class Role { user, assistant };

    QUuid id;
    Role role = Role::user;
    QString text;
    QDateTime timestamp;

    // A new turn with a fresh random id.
    static ConversationTurn make(Role role, QString text, QDateTime timestamp);

    // {"id": upper-case UUID, "role": raw value, "text", "timestamp": UTC ISO 8601 with milliseconds}.
    QJsonObject toJson() const;

    bool operator==(const ConversationTurn&) const = default;
};

template <>
struct RawEnumTraits<ConversationTurn::Role> {
    static constexpr std::array<RawCase<ConversationTurn::Role>, 2> cases{{
        {ConversationTurn::Role::user, "user"},
        {ConversationTurn::Role::assistant, "assistant"},
    }};
};
