#include "Update/FeedUpdater.h"

#include "Backend/HttpExchange.h"
#include "Support/FileIO.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcUpdate, "app.parlivox.update")

namespace {
constexpr std::chrono::seconds kFeedTimeout{30};
constexpr std::chrono::minutes kDownloadTimeout{15};

// The HTTP failure of an exchange, or "" when a 2xx answer arrived.
QString failureOf(int status, const QString& transportFailure)
{
    if (!transportFailure.isEmpty())
        return transportFailure;
    if (status < 200 || status > 299)
        return QStringLiteral("HTTP %1").arg(status);
    return {};
}

// A release package is far larger than the bound of a backend's reply.
constexpr qint64 kMaxDownloadBytes = qint64(512) * 1024 * 1024;

std::unique_ptr<HttpExchange> get(const QUrl& url, std::chrono::milliseconds timeout, Scheduler& scheduler,
                                  std::function<void(int, const QByteArray&, const QString&)> done,
                                  qint64 maxBodyBytes = HttpExchange::kMaxBodyBytes)
{
    return std::make_unique<HttpExchange>(HttpExchange::Request{url, {}, std::nullopt, timeout, maxBodyBytes}, scheduler,
                                          [done = std::move(done)](const HttpExchange::Outcome& outcome) {
                                              done(outcome.status, outcome.body, outcome.failureText);
                                          });
}
}  // namespace

FeedUpdater::FeedUpdater(Config config, Scheduler& scheduler, QObject* parent)
    : Updater(parent), m_config(std::move(config)), m_scheduler(scheduler),
      m_preferences(UpdatePreferences::load(m_config.preferencesPath)), m_automaticCheck(scheduler)
{
    // A package copy that a crash cut short, where the disk has no unnamed files.
    FileIO::removeLeftoverTemporaries(m_config.downloadDirectory);
}

FeedUpdater::~FeedUpdater() = default;

void FeedUpdater::start()
{
    scheduleAutomaticCheck();
}

void FeedUpdater::setAutomaticallyChecksForUpdates(bool on)
{
    m_preferences.automaticallyChecks = on;
    savePreferences();
    scheduleAutomaticCheck();
}

void FeedUpdater::setAutomaticallyDownloadsUpdates(bool on)
{
    m_preferences.automaticallyDownloads = on;
    savePreferences();
}

bool FeedUpdater::isAvailable() const
{
    return !m_config.feed.isEmpty() && UpdateFeed::isAllowedAddress(m_config.feed);
}

QString FeedUpdater::cannotCheckReason() const
{
    if (m_config.feed.isEmpty())
        return QStringLiteral("This build has no update feed; updates come with your package manager.");
    if (!UpdateFeed::isAllowedAddress(m_config.feed))
        return QStringLiteral("The update feed address must use HTTPS.");
    if (m_checking)
        return QStringLiteral("An update check is running.");
    return {};
}

void FeedUpdater::checkForUpdates()
{
    if (canCheckForUpdates())
        check(true);
}

void FeedUpdater::check(bool userInitiated)
{
    m_automaticCheck.cancel();
    m_checking = true;
    m_current = UpdateCheckResult();
    m_current.userInitiated = userInitiated;
    emit canCheckForUpdatesChanged();
    m_downloadExchange.reset();
    m_feedExchange =
        get(m_config.feed, kFeedTimeout, m_scheduler,
            [this](int status, const QByteArray& body, const QString& failure) { handleFeed(status, body, failure); });
}

void FeedUpdater::handleFeed(int status, const QByteArray& body, const QString& transportFailure)
{
    m_current.error = failureOf(status, transportFailure);
    if (!m_current.error.isEmpty())
        return finish(m_current);
    QString error;
    const auto release = UpdateFeed::parse(body, &error);
    if (!release) {
        m_current.error = QStringLiteral("The update feed is malformed: %1.").arg(error);
        return finish(m_current);
    }
    m_current.release = *release;
    m_preferences.lastCheck = m_scheduler.wallNow().toUTC();
    savePreferences();
    if (!UpdateFeed::isNewer(*release, m_config.runningVersion, m_config.runningBuild)) {
        m_current.outcome = UpdateCheckResult::Outcome::upToDate;
        return finish(m_current);
    }
    if (!m_preferences.automaticallyDownloads) {
        m_current.outcome = UpdateCheckResult::Outcome::available;
        return finish(m_current);
    }
    m_downloadExchange =
        get(release->download, kDownloadTimeout, m_scheduler,
            [this](int code, const QByteArray& data, const QString& failure) { handleDownload(code, data, failure); },
            kMaxDownloadBytes);
}

void FeedUpdater::handleDownload(int status, const QByteArray& body, const QString& transportFailure)
{
    const QString failure = failureOf(status, transportFailure);
    if (!failure.isEmpty()) {
        m_current.error = QStringLiteral("The download of %1 failed: %2").arg(m_current.release.version, failure);
        return finish(m_current);
    }
    if (QCryptographicHash::hash(body, QCryptographicHash::Sha256) != m_current.release.sha256) {
        m_current.error = QStringLiteral("The download of %1 does not match its SHA-256 checksum and was discarded.")
                              .arg(m_current.release.version);
        return finish(m_current);
    }
    QString name = QFileInfo(m_current.release.download.path()).fileName();
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')))
        name = QStringLiteral("parlivox-update");
    const QString path = m_config.downloadDirectory + QLatin1Char('/') + name;
    QString error;
    if (!FileIO::ensureDirectory(m_config.downloadDirectory, true, &error) ||
        !FileIO::writeAtomically(path, body, &error)) {
        m_current.error =
            QStringLiteral("The download of %1 could not be saved: %2").arg(m_current.release.version, error);
        return finish(m_current);
    }
    m_current.outcome = UpdateCheckResult::Outcome::available;
    m_current.downloadedFile = path;
    finish(m_current);
}

void FeedUpdater::finish(UpdateCheckResult result)
{
    if (result.outcome == UpdateCheckResult::Outcome::failed)
        qCWarning(lcUpdate, "update check failed: %s", qPrintable(result.error));
    else
        qCInfo(lcUpdate, "update check: feed offers %s", qPrintable(result.release.version));
    m_checking = false;
    scheduleAutomaticCheck(kCheckInterval);
    emit canCheckForUpdatesChanged();
    emit checkFinished(result);
}

void FeedUpdater::scheduleAutomaticCheck(std::optional<std::chrono::milliseconds> delay)
{
    m_automaticCheck.cancel();
    if (!automaticallyChecksForUpdates() || !canCheckForUpdates())
        return;
    if (!delay) {
        // A day after the last completed check, but never right at start-up.
        delay = kFirstCheckDelay;
        if (m_preferences.lastCheck) {
            const QDateTime due = m_preferences.lastCheck->addSecs(
                std::chrono::duration_cast<std::chrono::seconds>(kCheckInterval).count());
            delay = std::max(*delay, std::chrono::milliseconds(m_scheduler.wallNow().msecsTo(due)));
        }
    }
    m_automaticCheck.start(*delay, [this] { check(false); });
}

void FeedUpdater::savePreferences()
{
    QString error;
    if (!m_preferences.save(m_config.preferencesPath, &error))
        qCWarning(lcUpdate, "update preferences not saved: %s", qPrintable(error));
}
