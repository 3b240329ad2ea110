#include "Conversation/ConversationTurn.h"

#include "Support/Text.h"

ConversationTurn ConversationTurn::make(Role role, QString text, QDateTime timestamp)
{
    return {QUuid::createUuid(), role, std::move(text), std::move(timestamp)};
}

QJsonObject ConversationTurn::toJson() const
{
    return {
        {QStringLiteral("id"), Text::uuidText(id)},
        {QStringLiteral("role"), rawValue(role)},
        {QStringLiteral("text"), text},
        {QStringLiteral("timestamp"), timestamp.toUTC().toString(Qt::ISODateWithMs)},
    };
}
