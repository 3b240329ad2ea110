#pragma once

#include <QUrl>

// The fixed hosts of the hosted backends and how we introduce ourselves, kept in one place. Clients take the host as a
// constructor argument defaulting to these, so tests can point them at a local server.
namespace BackendHosts {

inline QUrl ostrel()
{
    return QUrl(QStringLiteral("https://api.ostrel.ai"));
}
inline QUrl openAI()
{
    return QUrl(QStringLiteral("https://api.openai.com"));
}
inline QUrl nvidia()
{
    return QUrl(QStringLiteral("https://integrate.api.nvidia.com"));
}

inline QByteArray userAgent()
{
    return QByteArrayLiteral("Parlivox/Linux");
}

}  // namespace BackendHosts
