#include "Update/FeedUpdater.h"
#include "Update/UpdateManager.h"

#include "Common/FakeScheduler.h"
#include "Common/LocalHttpServer.h"
#include "Common/QtPrinters.h"
#include "Common/TestEnvironment.h"
#include "Support/FileIO.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
using Outcome = UpdateCheckResult::Outcome;

const QByteArray kPackage = "the package's bytes";

struct Fixture {
    QTemporaryDir directory;
    FakeScheduler scheduler;
    LocalHttpServer server;

    FeedUpdater::Config config(const QUrl& feed) const
    {
        return {feed, QStringLiteral("1.4.0"), QStringLiteral("7"), directory.filePath(QStringLiteral("updater.json")),
                directory.filePath(QStringLiteral("updates"))};
    }
    QByteArray feed(const char* version, const char* build, const QByteArray& hashOf = kPackage) const
    {
        return QStringLiteral(R"({"version":"%1","build":"%2","releasePage":"https://example.org/releases",)"
                              R"("download":"%3","sha256":"%4"})")
            .arg(QLatin1String(version), QLatin1String(build),
                 server.url(QStringLiteral("/parlivox_new.deb")).toString(),
                 QString::fromLatin1(QCryptographicHash::hash(hashOf, QCryptographicHash::Sha256).toHex()))
            .toUtf8();
    }
};

UpdateCheckResult runCheck(FeedUpdater& updater)
{
    QSignalSpy finished(&updater, &Updater::checkFinished);
    updater.checkForUpdates();
    EXPECT_FALSE(updater.canCheckForUpdates()) << "no second check while one runs";
    EXPECT_TRUE(finished.wait(5000));
    return finished.isEmpty() ? UpdateCheckResult() : finished.first().first().value<UpdateCheckResult>();
}

TEST(FeedUpdater, checksTheFeedAndVerifiesDownloads)
{
    struct Row {
        const char* name;
        int feedStatus;
        QByteArray (*feed)(const Fixture&);
        bool download;
        int downloadStatus;
        Outcome outcome;
        const char* error;  // part of the failure text
        bool saved;
        bool recorded;  // the feed was read: the time of the check is kept
    };
    const auto newer = [](const Fixture& f) { return f.feed("2.0", "1"); };
    const Row rows[] = {
        {"newer", 200, [](const Fixture& f) { return f.feed("1.10.0", "1"); }, false, 200, Outcome::available, "",
         false, true},
        {"same", 200, [](const Fixture& f) { return f.feed("1.4", "7"); }, false, 200, Outcome::upToDate, "", false,
         true},
        {"older", 200, [](const Fixture& f) { return f.feed("1.3.12", "90"); }, true, 200, Outcome::upToDate, "", false,
         true},
        {"newer build", 200, [](const Fixture& f) { return f.feed("1.4.0", "8"); }, false, 200, Outcome::available, "",
         false, true},
        {"malformed", 200, [](const Fixture&) { return QByteArray("{\"version\": 2}"); }, false, 200, Outcome::failed,
         "malformed", false, false},
        {"not found", 404, newer, false, 200, Outcome::failed, "HTTP 404", false, false},
        {"server error", 503, newer, false, 200, Outcome::failed, "HTTP 503", false, false},
        {"downloaded", 200, newer, true, 200, Outcome::available, "", true, true},
        {"hash mismatch", 200, [](const Fixture& f) { return f.feed("2.0", "1", "other bytes"); }, true, 200,
         Outcome::failed, "SHA-256", false, true},
        {"download missing", 200, newer, true, 404, Outcome::failed, "HTTP 404", false, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Fixture f;
        const QByteArray body = row.feed(f);
        f.server.setHandler([&](const LocalHttpServer::Request& request) {
            if (request.path == "/feed.json")
                return LocalHttpServer::Reply{row.feedStatus, body, "application/json", {}, false};
            return LocalHttpServer::Reply{row.downloadStatus, kPackage, "application/octet-stream", {}, false};
        });
        FeedUpdater updater(f.config(f.server.url(QStringLiteral("/feed.json"))), f.scheduler);
        updater.setAutomaticallyDownloadsUpdates(row.download);
        const UpdateCheckResult result = runCheck(updater);
        EXPECT_EQ(result.outcome, row.outcome);
        EXPECT_TRUE(result.error.contains(QLatin1String(row.error))) << result.error.toStdString();
        EXPECT_TRUE(result.userInitiated);
        EXPECT_TRUE(updater.canCheckForUpdates());
        EXPECT_EQ(updater.lastUpdateCheckDate().has_value(), row.recorded);
        const QString file = f.directory.filePath(QStringLiteral("updates/parlivox_new.deb"));
        EXPECT_EQ(result.downloadedFile, row.saved ? file : QString());
        EXPECT_EQ(FileIO::readAll(file), row.saved ? std::optional(kPackage) : std::nullopt);
    }
}

TEST(FeedUpdater, cannotCheckWithoutAnHttpsFeed)
{
    const QUrl feeds[] = {QUrl(), QUrl(QStringLiteral("http://updates.example.org/feed.json")),
                          QUrl(QStringLiteral("ftp://example.org/feed.json"))};
    for (const QUrl& feed : feeds) {
        SCOPED_TRACE(feed.toString().toStdString());
        Fixture f;
        FeedUpdater updater(f.config(feed), f.scheduler);
        updater.start();
        EXPECT_FALSE(updater.isAvailable());
        EXPECT_FALSE(updater.canCheckForUpdates());
        EXPECT_FALSE(updater.cannotCheckReason().isEmpty());
        updater.setAutomaticallyChecksForUpdates(true);
        EXPECT_FALSE(updater.automaticallyChecksForUpdates()) << "switched on, yet it never checks by itself";
        updater.checkForUpdates();
        f.scheduler.advance(std::chrono::hours(48));
        EXPECT_EQ(f.server.requests().size(), 0);
    }
}

TEST(FeedUpdater, checksByItselfADayApartAndKeepsItsSwitches)
{
    Fixture f;
    f.server.setHandler([&](const LocalHttpServer::Request&) {
        return LocalHttpServer::Reply{200, f.feed("1.4.0", "7"), "application/json", {}, false};
    });
    {
        FeedUpdater updater(f.config(f.server.url(QStringLiteral("/feed.json"))), f.scheduler);
        QSignalSpy finished(&updater, &Updater::checkFinished);
        EXPECT_TRUE(updater.isAvailable());
        EXPECT_TRUE(updater.automaticallyChecksForUpdates());
        updater.start();
        f.scheduler.advance(FeedUpdater::kFirstCheckDelay - std::chrono::seconds(1));
        EXPECT_EQ(f.server.requests().size(), 0) << "never right at start-up";
        f.scheduler.advance(std::chrono::seconds(1));
        ASSERT_TRUE(finished.wait(5000));
        EXPECT_FALSE(finished.first().first().value<UpdateCheckResult>().userInitiated);
        f.scheduler.advance(FeedUpdater::kCheckInterval - std::chrono::seconds(1));
        EXPECT_EQ(finished.size(), 1);
        f.scheduler.advance(std::chrono::seconds(1));
        ASSERT_TRUE(finished.wait(5000));
        updater.setAutomaticallyChecksForUpdates(false);
        updater.setAutomaticallyDownloadsUpdates(true);
        f.scheduler.advance(FeedUpdater::kCheckInterval * 2);
        EXPECT_EQ(f.server.requests().size(), 2);
    }
    FeedUpdater again(f.config(f.server.url(QStringLiteral("/feed.json"))), f.scheduler);
    EXPECT_FALSE(again.automaticallyChecksForUpdates());
    EXPECT_TRUE(again.automaticallyDownloadsUpdates());
    EXPECT_TRUE(again.lastUpdateCheckDate().has_value());

    const QString path = f.directory.filePath(QStringLiteral("updater.json"));
    ASSERT_TRUE(FileIO::writeAtomically(path, "{\"automaticallyChecks\": \"no\"}"));
    FeedUpdater damaged(f.config(f.server.url(QStringLiteral("/feed.json"))), f.scheduler);
    EXPECT_TRUE(damaged.automaticallyChecksForUpdates()) << "defaults after a damaged file";
    EXPECT_EQ(TestEnvironment::movedAsideCopies(path).size(), 1);
}

TEST(FeedUpdater, theLastCheckSurvivesARestartAndTheNextRunsADayAfterIt)
{
    using namespace std::chrono_literals;
    const struct {
        const char* name;
        int feedStatus;
        bool recorded;
        std::chrono::minutes firstAutomaticCheck;  // after the restart, two hours on
    } rows[] = {
        {"the feed was read", 200, true, FeedUpdater::kCheckInterval - 2h},
        {"the check failed", 503, false, FeedUpdater::kFirstCheckDelay},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Fixture f;
        f.server.setHandler([&](const LocalHttpServer::Request&) {
            return LocalHttpServer::Reply{row.feedStatus, f.feed("1.4.0", "7"), "application/json", {}, false};
        });
        const QUrl feed = f.server.url(QStringLiteral("/feed.json"));
        const QDateTime checkedAt = f.scheduler.wallNow();
        {
            FeedUpdater before(f.config(feed), f.scheduler);
            runCheck(before);
        }

        FakeScheduler restarted(checkedAt.addSecs(2 * 3600));
        FeedUpdater after(f.config(feed), restarted);
        UpdateManager manager(after, restarted);
        EXPECT_EQ(after.lastUpdateCheckDate(), row.recorded ? std::optional(checkedAt.toUTC()) : std::nullopt);
        EXPECT_EQ(manager.lastCheckLabel(), row.recorded
                                                ? QLocale().toString(checkedAt.toLocalTime(), QLocale::ShortFormat)
                                                : QStringLiteral("—"));
        QSignalSpy finished(&after, &Updater::checkFinished);
        restarted.advance(row.firstAutomaticCheck - 1s);
        EXPECT_EQ(f.server.requests().size(), 1) << "no automatic check before it is due";
        restarted.advance(1s);
        EXPECT_TRUE(finished.wait(5000));
        EXPECT_EQ(f.server.requests().size(), 2);
    }
}

}  // namespace
