#include "Skills/MailComposeSkill.h"
#include "Skills/MessagesListRecentSkill.h"

#include "Common/QtPrinters.h"
#include "Common/TestEnvironment.h"
#include "SkillTestKit.h"
#include "Skills/SkillWorker.h"

#include <QDir>
#include <QFile>

#include <future>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sqlite3.h>

using namespace std::chrono_literals;

namespace {
std::shared_ptr<SkillWorker> messagesWorker()
{
    return std::make_shared<SkillWorker>(QStringLiteral("app.parlivox.messages"));
}
}  // namespace

TEST(MailComposeSkill, OpensAnEncodedMailLinkAndSaysWhenNothingTookIt)
{
    const QString opened = QStringLiteral("메일 작성 창을 열었어요. 내용 확인 후 보내주세요.");
    const struct {
        SkillArgs args;
        bool handlerExists;
        QString link;  // empty: nothing opened
        QString answer;
    } cases[] = {
        {{{"to", "a@b.c"}}, true, "mailto:a@b.c", opened},
        {{{"to", "kim+work@b.c"}, {"subject", ""}, {"body", "안녕 & bye"}},
         true,
         "mailto:kim+work@b.c?body=%EC%95%88%EB%85%95%20%26%20bye",
         opened},
        {{{"to", "a@b.c, c@d.e"}, {"subject", "1+1=2? #yes"}, {"body", "line\nnext"}},
         true,
         "mailto:a@b.c,%20c@d.e?subject=1%2B1%3D2%3F%20%23yes&body=line%0Anext",
         opened},
        {{}, true, "mailto:", opened},
        {{{"to", "//evil"}}, true, "", "error 400: 메일 주소가 비어 있어요."},
        {{{"to", "a@b.c"}},
         false,
         "mailto:a@b.c",
         "메일 프로그램을 열지 못했어요. 기본 메일 프로그램이 설정되어 있는지 확인해주세요."},
    };
    for (const auto& c : cases) {
        RecordingWorkspace workspace;
        workspace.handlerExists = c.handlerExists;
        MailComposeSkill skill(workspace);
        EXPECT_EQ(answerOf(skill, c.args), c.answer);
        EXPECT_EQ(workspace.opened, c.link.isEmpty() ? QStringList() : QStringList{c.link});
        EXPECT_EQ(skill.summary({}, AppLanguage::korean), QStringLiteral("메일 작성: ? / (제목 없음)"));
    }
}

TEST(MessagesListRecentSkill, DigestsTheNewestReceivedMessagesUpToTheLimit)
{
    ScopedDataRoot root;
    // "who?" is the newest received message, then m1, m2, ...; a sent one and one without text are newer still.
    QByteArray rows = QByteArray(kMessagesSchema) +
                      "INSERT INTO handle VALUES (1, '+8210'), (2, 'kim@b.c');"
                      "INSERT INTO message (text, date, is_from_me, handle_id) VALUES"
                      " ('sent', 9000000000000, 1, 1), (NULL, 8000000000000, 0, 1), ('who?', 7000000000000, 0, 99)";
    for (int i = 1; i <= 25; ++i)
        rows += QStringLiteral(", ('m%1', %2, 0, %3)").arg(i).arg((100 - i) * 1'000'000'000LL).arg(i % 2 + 1).toUtf8();
    MessagesListRecentSkill skill(database(root.path(), rows + ";"), messagesWorker());

    for (const auto& [limit, count] : std::initializer_list<std::pair<const char*, int>>{
             {nullptr, 5}, {"", 5}, {"x", 5}, {" 3", 5}, {"0", 1}, {"+3", 3}, {"100", 20}}) {
        const QString answer = answerOf(skill, limit ? SkillArgs{{"limit", limit}} : SkillArgs{});
        EXPECT_TRUE(answer.startsWith(QStringLiteral("최근 메시지 %1건. unknown: who?").arg(count))) << limit;
        EXPECT_EQ(answer.count(" / "), count - 1) << limit;
    }
    EXPECT_EQ(answerOf(skill, {{"limit", "3"}}),
              QStringLiteral("최근 메시지 3건. unknown: who? / kim@b.c: m1 / +8210: m2"));
}

TEST(MessagesListRecentSkill, AnswersEveryFailureWithASentenceCarryingItsCauseAndLeavesNoConnection)
{
    ScopedDataRoot root;
    const QString missing = MessagesListRecentSkill::defaultDatabasePath();
    auto file = [&](const QString& name, const QByteArray& bytes) {
        QFile out(root.path() + "/" + name);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
        return out.fileName();
    };
    // Past SQLite's own limit on a path's length, though the file is there for everything else.
    const QString deep = root.path() + "/" + QString(200, 'a') + "/" + QString(200, 'b') + "/" + QString(200, 'c');
    QDir().mkpath(deep);
    ASSERT_TRUE(QFile::copy(database(root.path() + "/short", kMessagesSchema), deep + "/chat.db"));
    // A FIFO as the database, or as the journal or WAL that SQLite opens beside it.
    const QString fifo = root.path() + "/fifo.db";
    const QString journaled = database(root.path() + "/journal", kMessagesSchema);
    const QString logged = database(root.path() + "/wal", QByteArray("PRAGMA journal_mode=WAL;") + kMessagesSchema);
    const QStringList fifos = {fifo, journaled + "-journal", logged + "-wal"};
    for (const QString& path : fifos)
        ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    const QString readFailed = "메시지를 읽지 못했어요: %1. 메시지 데이터베이스 파일의 읽기 권한을 확인해주세요.";
    const struct {
        QString path;
        QString answer;
    } cases[] = {
        {missing, "메시지 데이터베이스를 읽을 수 없어요. 데이터 폴더의 messages/chat.db 파일이 있는지, 읽기 권한이 "
                  "있는지 확인해주세요."},
        {database(root.path() + "/empty", kMessagesSchema), "최근 받은 메시지가 없어요."},
        {database(root.path() + "/other", "CREATE TABLE message (text TEXT);"),
         readFailed.arg("SQLite prepare failed: no such table: handle")},
        {file("text.db", QByteArray(4096, 'x')), readFailed.arg("SQLite prepare failed: file is not a database")},
        {file("zero.db", {}), readFailed.arg("SQLite prepare failed: no such table: message")},
        {deep + "/chat.db", readFailed.arg("SQLite open failed: unable to open database file")},
        {fifo, readFailed.arg("SQLite open failed: not a regular file")},
        {root.path(), readFailed.arg("SQLite open failed: not a regular file")},
        {journaled, readFailed.arg("SQLite open failed: chat.db-journal is not a regular file")},
        {logged, readFailed.arg("SQLite open failed: chat.db-wal is not a regular file")},
    };
    for (const auto& c : cases) {
        // Opening a FIFO would wait for a writer for ever: one comes, late, should the skill try.
        std::promise<void> answered;
        std::thread writer([&, wait = answered.get_future()] {
            if (wait.wait_for(std::chrono::seconds(5)) == std::future_status::timeout)
                for (const QString& path : fifos)
                    ::close(::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK));
        });
        MessagesListRecentSkill skill(c.path, messagesWorker());
        EXPECT_EQ(answerOf(skill), c.answer) << c.path.right(40).toStdString();
        answered.set_value();
        writer.join();
    }

    // A failed open still hands out a connection, which must be closed.
    MessagesListRecentSkill::query(deep + "/chat.db", 5, nullptr);
    const auto before = sqlite3_memory_used();
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(MessagesListRecentSkill::query(deep + "/chat.db", 5, nullptr));
    EXPECT_EQ(sqlite3_memory_used(), before);
}

TEST(MessagesListRecentSkill, AReadWaitsAMomentForAWritersLockAndThenNamesIt)
{
    ScopedDataRoot root;
    const QString path = database(root.path(), QByteArray(kMessagesSchema) +
                                                   "INSERT INTO message (text, date, is_from_me, handle_id) VALUES"
                                                   " ('hello', 1, 0, 1);");
    // A writer takes the database for itself, as a sync tool does while it commits.
    auto holdLocked = [&](std::promise<void>& locked, std::future<void> release) {
        sqlite3* db = nullptr;
        sqlite3_open(path.toUtf8().constData(), &db);
        EXPECT_EQ(sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        locked.set_value();
        release.wait();
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    };
    MessagesListRecentSkill skill(path, messagesWorker());
    {
        // Let go well within the wait: the read waits for it instead of failing at once.
        std::promise<void> locked;
        std::thread writer(holdLocked, std::ref(locked),
                           std::async(std::launch::async, [] { std::this_thread::sleep_for(200ms); }));
        locked.get_future().wait();
        EXPECT_EQ(answerOf(skill), QStringLiteral("최근 메시지 1건. unknown: hello"));
        writer.join();
    }
    {
        // Held past it: the answer says why.
        std::promise<void> locked;
        std::promise<void> release;
        std::thread writer(holdLocked, std::ref(locked), release.get_future());
        locked.get_future().wait();
        EXPECT_EQ(answerOf(skill), QStringLiteral("메시지를 읽지 못했어요: SQLite prepare failed: database is locked. "
                                                  "메시지 데이터베이스 파일의 읽기 권한을 확인해주세요."));
        release.set_value();
        writer.join();
    }
}

// The database is read on the skill's worker: the asking thread is back before the answer, even
// while a writer holds the lock, and the answer then comes to it in the language of the call.
TEST(MessagesListRecentSkill, AnswersAfterTheCallReturns)
{
    ScopedDataRoot root;
    const QString path = database(root.path(), QByteArray(kMessagesSchema) +
                                                   "INSERT INTO message (text, date, is_from_me, handle_id) VALUES"
                                                   " ('hello', 1, 0, 1);");
    MessagesListRecentSkill skill(path, messagesWorker());
    const struct {
        bool locked;
        AppLanguage language;
        const char* answer;
    } cases[] = {
        {false, AppLanguage::korean, "최근 메시지 1건. unknown: hello"},
        {true, AppLanguage::korean, "최근 메시지 1건. unknown: hello"},
        {false, AppLanguage::english, "One recent message. unknown: hello"},
    };
    for (const auto& c : cases) {
        sqlite3* writer = nullptr;
        sqlite3_open(path.toUtf8().constData(), &writer);
        if (c.locked) {
            ASSERT_EQ(sqlite3_exec(writer, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        }
        QStringList answers;
        skill.run({}, c.language, [&](Skill::Outcome outcome) {
            EXPECT_EQ(QThread::currentThread(), qApp->thread());
            answers.append(std::get<QString>(outcome));
        });
        EXPECT_TRUE(answers.isEmpty());
        if (c.locked)
            sqlite3_exec(writer, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(writer);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !answers.isEmpty(); }, 10000));
        EXPECT_EQ(answers, QStringList{c.answer});
    }
}
