#pragma once

#include <QUrl>

// The maker's public addresses, fixed for this build: its website and the project's pages on
// its code-hosting service.
namespace MakerLinks {

inline QUrl website()
{
    return QUrl(QStringLiteral("https://ostrel.dev"));
}
inline QUrl discussions()
{
    return QUrl(QStringLiteral("https://github.com/ostrel-labs/parlivox/discussions"));
}
inline QUrl newDiscussion()
{
    return QUrl(QStringLiteral("https://github.com/ostrel-labs/parlivox/discussions/new"));
}
inline QUrl newIssue()
{
    return QUrl(QStringLiteral("https://github.com/ostrel-labs/parlivox/issues/new"));
}

}  // namespace MakerLinks
