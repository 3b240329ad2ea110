#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

// The OpenAI chat-completions shape shared by the hosted, NVIDIA and local clients.
namespace ChatCompletions {

// {"model", "messages": [system, user], "stream": false}
QJsonObject requestBody(const QString& model, const QString& systemPrompt, const QString& transcript);

// The content of the first choice's message ("" when the choices, the message or the content
// are missing or null), or nothing when a field has the wrong type anywhere in the choices.
std::optional<QString> firstReply(const QJsonObject& body);

}  // namespace ChatCompletions
