#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

#include <mutex>

// Collects the system-log lines of the given category (e.g. "app.parlivox.fsm") while it
// lives, from any thread, so tests can check what a part wrote to the log.
class LogCapture {
public:
    struct Line {
        QtMsgType type;
        QString message;
    };

    explicit LogCapture(QString category);
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    QList<Line> lines() const;
    QStringList messages() const;
    void clear();

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message);

    const QString m_category;
    mutable std::mutex m_mutex;
    QList<Line> m_lines;
    QtMessageHandler m_previous = nullptr;
};
