#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <optional>

// The update feed: one JSON object describing the newest release,
//
//     {"version": "1.4.0", "build": "57", "releasePage": "https://…",
//      "download": "https://…/parlivox_1.4.0_amd64.deb", "sha256": "<64 hex digits>"}
//
// and the rules for reading it. Addresses must be HTTPS; plain HTTP is accepted only for this
// machine (loopback), where nothing travels over a network.
namespace UpdateFeed {

struct Release {
    QString version;  // dotted numbers, "1.10.2"
    QString build;  // digits, or "" when the feed gives none
    QUrl releasePage;
    QUrl download;
    QByteArray sha256;  // 32 bytes
};

// The release the feed describes; nothing (with the reason) for anything malformed.
std::optional<Release> parse(const QByteArray& json, QString* error = nullptr);

// Compares dotted versions number by number ("1.10" > "1.9", "1.2" == "1.2.0"); negative, zero
// or positive like strcmp. Nothing when either is not a dotted version.
std::optional<int> compareVersions(const QString& a, const QString& b);

// Whether `release` is newer than the running version and build: by version, and by build
// when the versions are equal and both builds are known.
bool isNewer(const Release& release, const QString& runningVersion, const QString& runningBuild);

// HTTPS anywhere, HTTP only on loopback.
bool isAllowedAddress(const QUrl& url);

}  // namespace UpdateFeed
