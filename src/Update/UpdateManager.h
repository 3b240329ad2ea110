#pragma once

#include "Support/Scheduler.h"
#include "Update/UpdateCheckResult.h"

#include <QObject>

class Updater;

// The window's handle on the updater: starts it when made, mirrors its two automatic-update
// switches for the settings to bind to, publishes whether a check can start now (the menu's
// "Check for Updates…" command and the settings button follow it) and formats the time of
// the last check. The can-check flag starts true and takes the updater's value on the next
// turn of the scheduler, and again on every change it reports. GUI thread.
class UpdateManager final : public QObject {
    Q_OBJECT
public:
    UpdateManager(Updater& updater, Scheduler& scheduler, QObject* parent = nullptr);

    bool automaticallyChecks() const { return m_automaticallyChecks; }
    // Stores the value, announces it and writes it to the updater, even when unchanged.
    void setAutomaticallyChecks(bool on);
    bool downloadsAutomatically() const { return m_downloadsAutomatically; }
    void setDownloadsAutomatically(bool on);

    // False when this build cannot check at all; automaticallyChecks() is false then too.
    bool isAvailable() const;
    bool canCheckNow() const { return m_canCheckNow; }
    // Why no check can start; "" while one can.
    QString cannotCheckReason() const;
    // The last check in the user's short date and time format, or "—" before the first.
    QString lastCheckLabel() const;

    // A check the user asked for (menu command or settings button).
    void checkForUpdates();

signals:
    void automaticallyChecksChanged();
    void downloadsAutomaticallyChanged();
    void canCheckNowChanged();
    void checkFinished(const UpdateCheckResult& result);

private:
    void deliverCanCheck();

    Updater& m_updater;
    bool m_automaticallyChecks;
    bool m_downloadsAutomatically;
    bool m_canCheckNow = true;
    SingleShot m_delivery;
};
