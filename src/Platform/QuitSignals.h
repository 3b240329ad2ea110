#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into an ordinary quit of the event loop, so a program
// told to stop (logging out, `kill`, Ctrl+C) shuts down as when its window is closed: a
// session ends and its minutes are written, instead of dying in the middle. The handler
// only writes a byte to a pipe; the quit itself happens on the GUI thread. One at a time.
class QuitSignals final : public QObject {
    Q_OBJECT
public:
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

private:
    QSocketNotifier* m_notifier = nullptr;
};
