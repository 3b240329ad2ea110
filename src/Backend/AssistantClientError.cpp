#include "Backend/AssistantClientError.h"

AssistantClientError AssistantClientError::requestFailed(const QString& message)
{
    return {Kind::requestFailed, message};
}

AssistantClientError AssistantClientError::missingAPIKey(const QString& service)
{
    return {Kind::missingAPIKey, service};
}

AssistantClientError AssistantClientError::emptyResponse()
{
    return {Kind::emptyResponse, {}};
}

QString AssistantClientError::description() const
{
    switch (kind) {
    case Kind::requestFailed:
        return QStringLiteral("Assistant request failed: ") + detail;
    case Kind::missingAPIKey:
        return detail + QStringLiteral(" API key is missing.");
    case Kind::emptyResponse:
        return QStringLiteral("Assistant returned an empty response.");
    }
    return {};
}
