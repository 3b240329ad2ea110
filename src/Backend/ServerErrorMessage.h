#pragma once

#include <QString>

#include <optional>

// What a server or an agent says went wrong, when it answers with a JSON error body: the
// text of "error.message" (OpenAI and the servers that follow it), else of "message", else
// "error" itself when that is text (Ollama). Nothing for any other body, or a blank message.
namespace ServerErrorMessage {

std::optional<QString> of(const QString& body);

}  // namespace ServerErrorMessage
