#include "Update/UpdateFeed.h"

#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

namespace {
const QByteArray sha(64, 'a');

QByteArray feed(const QByteArray& version, const QByteArray& extra = "")
{
    return "{\"version\":\"" + version + "\",\"build\":\"7\",\"releasePage\":\"https://example.org/r\"," +
           "\"download\":\"https://example.org/p.deb\",\"sha256\":\"" + sha + "\"" + extra + "}";
}

TEST(UpdateFeed, versionsCompareNumberByNumber)
{
    struct Row {
        const char* a;
        const char* b;
        std::optional<int> order;
    };
    const Row rows[] = {
        {"1.10", "1.9", 1},
        {"1.9", "1.10", -1},
        {"1.2", "1.2.0", 0},
        {"1.2.1", "1.2", 1},
        {"2", "1.99.99", 1},
        {"0.1.0", "0.1.0", 0},
        {"01.2", "1.2", 0},
        {"1.2-beta", "1.2", std::nullopt},
        {"", "1", std::nullopt},
        {"1..2", "1.2", std::nullopt},
        {"v1.2", "1.2", std::nullopt},
        {"?", "1", std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.a) + " vs " + row.b);
        EXPECT_EQ(UpdateFeed::compareVersions(QString::fromLatin1(row.a), QString::fromLatin1(row.b)), row.order);
    }
}

TEST(UpdateFeed, readsOnlyWellFormedFeeds)
{
    struct Row {
        const char* name;
        QByteArray json;
        bool valid;
    };
    const Row rows[] = {
        {"complete", feed("1.4.0"), true},
        {"without build",
         "{\"version\":\"1.4\",\"releasePage\":\"https://e.org/r\",\"download\":\"https://e.org/p\","
         "\"sha256\":\"" +
             sha + "\"}",
         true},
        {"loopback over http", feed("1.4.0").replace("https://example.org/p.deb", "http://127.0.0.1:8080/p.deb"), true},
        {"not json", "<html>502 Bad Gateway</html>", false},
        {"an array", "[" + feed("1.4.0") + "]", false},
        {"version not dotted", feed("1.4.0-rc1"), false},
        {"version a number", QByteArray(feed("1.4.0")).replace("\"1.4.0\"", "1.4"), false},
        {"build not digits", QByteArray(feed("1.4.0")).replace("\"7\"", "\"seven\""), false},
        {"plain http elsewhere",
         QByteArray(feed("1.4.0")).replace("https://example.org/p.deb", "http://example.org/p.deb"), false},
        {"another scheme", QByteArray(feed("1.4.0")).replace("https://example.org/r", "file:///etc/passwd"), false},
        {"short hash", QByteArray(feed("1.4.0")).replace(sha, "abc"), false},
        {"hash not hex", QByteArray(feed("1.4.0")).replace(sha, QByteArray(64, 'z')), false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QString error;
        const auto release = UpdateFeed::parse(row.json, &error);
        EXPECT_EQ(release.has_value(), row.valid) << error.toStdString();
        EXPECT_EQ(error.isEmpty(), row.valid);
    }
    const auto release = UpdateFeed::parse(feed("1.4.0"));
    ASSERT_TRUE(release);
    EXPECT_EQ(release->sha256, QByteArray(32, char(0xaa)));
}

TEST(UpdateFeed, newerByVersionThenByKnownBuild)
{
    UpdateFeed::Release release{QStringLiteral("1.4.0"), QStringLiteral("7"), {}, {}, {}};
    EXPECT_TRUE(UpdateFeed::isNewer(release, QStringLiteral("1.3.9"), QStringLiteral("99")));
    EXPECT_FALSE(UpdateFeed::isNewer(release, QStringLiteral("1.10"), QStringLiteral("1")));
    EXPECT_TRUE(UpdateFeed::isNewer(release, QStringLiteral("1.4"), QStringLiteral("6")));
    EXPECT_FALSE(UpdateFeed::isNewer(release, QStringLiteral("1.4"), QStringLiteral("7")));
    EXPECT_FALSE(UpdateFeed::isNewer(release, QStringLiteral("1.4"), QStringLiteral("?")));
    EXPECT_FALSE(UpdateFeed::isNewer(release, QStringLiteral("?"), QStringLiteral("?")));
}

}  // namespace
