#pragma once

#include <QString>

// Why an HTTP backend gave no reply; description() is shown to the user.
struct AssistantClientError {
    enum class Kind { requestFailed, missingAPIKey, emptyResponse };

    Kind kind;
    // requestFailed: the message; missingAPIKey: the service whose key is missing.
    QString detail;

    static AssistantClientError requestFailed(const QString& message);
    static AssistantClientError missingAPIKey(const QString& service);
    static AssistantClientError emptyResponse();

    QString description() const;
};
