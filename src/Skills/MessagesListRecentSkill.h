#pragma once

#include "Skills/Skill.h"

#include <QDateTime>
#include <QList>

#include <memory>
#include <optional>

class SkillWorker;

// "messages.list_recent": a one-line digest of the newest received messages, read from a
// SQLite messages database (tables "message" and "handle", dates in nanoseconds since
// 2001-01-01 UTC) that a phone-sync or export tool keeps. Linux has no such database of its
// own, so its place is given. The database is read on a worker, so a writer's lock never holds
// up the window.
class MessagesListRecentSkill final : public Skill {
public:
    static constexpr const char* kSkillID = "messages.list_recent";

    struct Row {
        QString sender;  // "unknown" without a handle
        QString text;
        QDateTime date;  // UTC

        bool operator==(const Row&) const = default;
    };

    // The answers come on the thread that made `worker`.
    MessagesListRecentSkill(QString databasePath, std::shared_ptr<SkillWorker> worker);

    // "messages/chat.db" in the data directory.
    static QString defaultDatabasePath();

    // The newest `limit` received messages that carry text, newest first, from a read-only
    // connection that waits a moment for a writer's lock; nothing, with "SQLite open failed",
    // "SQLite prepare failed" or "SQLite step failed" and SQLite's reason in `error`
    // ("SQLite prepare failed: file is not a database"), when the database cannot be read.
    // Only a regular file is opened, and only with no journal or WAL beside it that is not one.
    static std::optional<QList<Row>> query(const QString& path, int limit, QString* error);

    // Never fails: a missing database and a failed query are answered with sentences.
    void run(const SkillArgs& args, AppLanguage language, Completion done) override;

private:
    // The answer for the database at `path`, said in `language`; on the worker.
    static QString digest(const QString& path, int limit, AppLanguage language);

    QString m_databasePath;
    const std::shared_ptr<SkillWorker> m_worker;
};
