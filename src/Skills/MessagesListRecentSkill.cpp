#include "Skills/MessagesListRecentSkill.h"

#include "Skills/SkillRegistry.h"
#include "Skills/SkillWorker.h"
#include "Skills/StrictInteger.h"
#include "Storage/AppPaths.h"
#include "Support/FileIO.h"
#include "Support/ReferenceDate.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include <sys/stat.h>

namespace {
constexpr int kDefaultLimit = 5;
// How long a read waits for a writer that holds the database locked; a sync tool's write is
// over long before, and only this answer waits: the read runs on the skill's worker.
constexpr int kBusyTimeoutMs = 1000;

const char* const kStatement = "SELECT handle.id, message.text, message.date\n"
                               "FROM message\n"
                               "LEFT JOIN handle ON message.handle_id = handle.ROWID\n"
                               "WHERE message.is_from_me = 0 AND message.text IS NOT NULL\n"
                               "ORDER BY message.date DESC\n"
                               "LIMIT ?";

int limitFrom(const SkillArgs& args)
{
    const auto parsed = StrictInteger::parse(args.value(QStringLiteral("limit"), QStringLiteral("5")));
    return static_cast<int>(std::clamp<std::int64_t>(parsed.value_or(kDefaultLimit), 1, 20));
}

std::optional<QString> columnText(sqlite3_stmt* row, int column)
{
    if (sqlite3_column_type(row, column) == SQLITE_NULL)
        return std::nullopt;
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(row, column)));
}

struct ConnectionCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

// The failure and its reason, e.g. "SQLite prepare failed: file is not a database".
std::nullopt_t fail(QString* error, const char* failure, const QString& reason)
{
    if (error)
        *error = QString::fromLatin1(failure) + QStringLiteral(": ") + reason;
    return std::nullopt;
}

std::nullopt_t fail(QString* error, const char* failure, const char* sqliteReason)
{
    return fail(error, failure, QString::fromUtf8(sqliteReason));
}

// Why the database at `path` is not to be opened, or nothing. SQLite would block on a FIFO until
// someone writes to it, the database's own or the journal or WAL it opens beside it, and no
// device or folder holds any of them.
std::optional<QString> refusal(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return FileIO::systemReason(errno);
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("not a regular file");
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        const QString companion = path + QLatin1String(suffix);
        if (::stat(QFile::encodeName(companion).constData(), &info) == 0 && !S_ISREG(info.st_mode))
            return QFileInfo(companion).fileName() + QStringLiteral(" is not a regular file");
    }
    return std::nullopt;
}
}  // namespace

MessagesListRecentSkill::MessagesListRecentSkill(QString databasePath, std::shared_ptr<SkillWorker> worker)
    : Skill(QLatin1String(kSkillID), SkillRegistry::builtInManifest(QLatin1String(kSkillID))),
      m_databasePath(std::move(databasePath)), m_worker(std::move(worker))
{
}

QString MessagesListRecentSkill::defaultDatabasePath()
{
    return AppPaths::root() + QStringLiteral("/messages/chat.db");
}

std::optional<QList<MessagesListRecentSkill::Row>> MessagesListRecentSkill::query(const QString& path, int limit,
                                                                                  QString* error)
{
    if (const std::optional<QString> refused = refusal(path))
        return fail(error, "SQLite open failed", *refused);
    sqlite3* rawDb = nullptr;
    const int opened =
        sqlite3_open_v2(path.toUtf8().constData(), &rawDb, SQLITE_OPEN_READONLY | SQLITE_OPEN_FULLMUTEX, nullptr);
    // A failed open may still hand out a connection, which must be closed all the same.
    const std::unique_ptr<sqlite3, ConnectionCloser> db(rawDb);
    if (!db)
        return fail(error, "SQLite open failed", sqlite3_errstr(opened));
    if (opened != SQLITE_OK)
        return fail(error, "SQLite open failed", sqlite3_errmsg(db.get()));
    sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);

    sqlite3_stmt* rawStatement = nullptr;
    sqlite3_prepare_v2(db.get(), kStatement, -1, &rawStatement, nullptr);
    const std::unique_ptr<sqlite3_stmt, StatementFinalizer> select(rawStatement);
    if (!select || sqlite3_bind_int(select.get(), 1, limit) != SQLITE_OK)
        return fail(error, "SQLite prepare failed", sqlite3_errmsg(db.get()));

    QList<Row> rows;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(select.get())) == SQLITE_ROW) {
        const double seconds = static_cast<double>(sqlite3_column_int64(select.get(), 2)) / 1e9;
        rows.append({columnText(select.get(), 0).value_or(QStringLiteral("unknown")),
                     columnText(select.get(), 1).value_or(QString()), ReferenceDate::fromSeconds(seconds)});
    }
    // A database that breaks off midway is a failure, not a shorter list.
    if (step != SQLITE_DONE)
        return fail(error, "SQLite step failed", sqlite3_errmsg(db.get()));
    return rows;
}

void MessagesListRecentSkill::run(const SkillArgs& args, AppLanguage language, Completion done)
{
    m_worker->run([path = m_databasePath, limit = limitFrom(args), language] { return digest(path, limit, language); },
                  std::move(done));
}

QString MessagesListRecentSkill::digest(const QString& path, int limit, AppLanguage language)
{
    if (!QFileInfo(path).isReadable())
        return L10n::t("speech.messages.unreadable", language);
    QString error;
    const auto rows = query(path, limit, &error);
    if (!rows)
        return L10n::t("speech.messages.failed", language).arg(error);
    if (rows->isEmpty())
        return L10n::t("speech.messages.none", language);
    QStringList lines;
    for (const Row& row : *rows)
        lines.append(row.sender + QStringLiteral(": ") + row.text);
    const QString joined = lines.join(QStringLiteral(" / "));
    return rows->size() == 1 ? L10n::t("speech.messages.recent_one", language).arg(joined)
                             : L10n::t("speech.messages.recent", language).arg(QString::number(rows->size()), joined);
}
