#pragma once

#include "Update/UpdateCheckResult.h"

#include <QDateTime>
#include <QObject>

#include <optional>

// The program's updater, as the update manager drives it: two automatic-update switches that
// it keeps itself, whether a check may start now, when the last check was, and a check the
// user asks for. It only finds and fetches releases; installing is the package manager's.
// GUI thread.
class Updater : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Starts the automatic checks when they are switched on.
    virtual void start() = 0;

    // Whether it checks by itself: the switch it keeps, and false while it is not available.
    virtual bool automaticallyChecksForUpdates() const = 0;
    virtual void setAutomaticallyChecksForUpdates(bool on) = 0;
    virtual bool automaticallyDownloadsUpdates() const = 0;
    virtual void setAutomaticallyDownloadsUpdates(bool on) = 0;

    // False when this build cannot check at all (no update feed, or one it refuses): then it
    // checks neither by itself, whatever its switch holds, nor when asked.
    virtual bool isAvailable() const = 0;
    // False while a check runs, and always when the updater cannot check at all.
    virtual bool canCheckForUpdates() const = 0;
    // Why no check can start now; "" while one can.
    virtual QString cannotCheckReason() const = 0;
    virtual std::optional<QDateTime> lastUpdateCheckDate() const = 0;

    // A check the user asked for; ignored while one cannot start.
    virtual void checkForUpdates() = 0;

signals:
    void canCheckForUpdatesChanged();
    void checkFinished(const UpdateCheckResult& result);
};
