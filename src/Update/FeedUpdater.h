#pragma once

#include "Support/Scheduler.h"
#include "Update/UpdatePreferences.h"
#include "Update/Updater.h"

#include <QUrl>

#include <memory>

class HttpExchange;

// The updater on Linux: reads a JSON release feed over HTTPS (UpdateFeed), compares the
// release with the running version, and, when automatic download is on, fetches a newer
// release into the download folder and keeps it only when its SHA-256 matches the feed's.
// It never installs anything: the package manager does. Automatic checks run once a day on
// the scheduler, a day apart, whether the last one succeeded or not. Without a feed address it cannot check, and says
// so. GUI thread.
class FeedUpdater final : public Updater {
    Q_OBJECT
public:
    struct Config {
        QUrl feed;  // empty when this build has no feed
        QString runningVersion;
        QString runningBuild;  // "" when unknown
        QString preferencesPath;
        QString downloadDirectory;
    };

    static constexpr std::chrono::hours kCheckInterval{24};
    // The first automatic check waits this long after start, so it never slows the start-up.
    static constexpr std::chrono::minutes kFirstCheckDelay{1};

    FeedUpdater(Config config, Scheduler& scheduler, QObject* parent = nullptr);
    ~FeedUpdater() override;

    void start() override;
    bool automaticallyChecksForUpdates() const override { return m_preferences.automaticallyChecks && isAvailable(); }
    void setAutomaticallyChecksForUpdates(bool on) override;
    bool automaticallyDownloadsUpdates() const override { return m_preferences.automaticallyDownloads; }
    void setAutomaticallyDownloadsUpdates(bool on) override;
    bool isAvailable() const override;
    bool canCheckForUpdates() const override { return cannotCheckReason().isEmpty(); }
    QString cannotCheckReason() const override;
    std::optional<QDateTime> lastUpdateCheckDate() const override { return m_preferences.lastCheck; }
    void checkForUpdates() override;

private:
    void check(bool userInitiated);
    void handleFeed(int status, const QByteArray& body, const QString& failure);
    void handleDownload(int status, const QByteArray& body, const QString& failure);
    void finish(UpdateCheckResult result);
    // Without a delay: a day after the last completed check, at the earliest after the first delay.
    void scheduleAutomaticCheck(std::optional<std::chrono::milliseconds> delay = std::nullopt);
    void savePreferences();

    Config m_config;
    Scheduler& m_scheduler;
    UpdatePreferences m_preferences;
    bool m_checking = false;
    UpdateCheckResult m_current;  // the check in progress
    // Replaced only when the next check starts, never from inside their own completion.
    std::unique_ptr<HttpExchange> m_feedExchange;
    std::unique_ptr<HttpExchange> m_downloadExchange;
    SingleShot m_automaticCheck;
};
