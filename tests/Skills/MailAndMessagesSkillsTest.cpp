#include "Skills/MailComposeSkill.h"
#include "Skills/MessagesListRecentSkill.h"

#include "Common/QtPrinters.h"
#include "Common/TestEnvironment.h"
#include "SkillTestKit.h"

#include <QDir>

#include <sqlite3.h>

namespace {
const char* const kMessagesSchema = "CREATE TABLE handle (ROWID INTEGER PRIMARY KEY, id TEXT);"
                                    "CREATE TABLE message (ROWID INTEGER PRIMARY KEY, text TEXT, date INTEGER,"
                                    " is_from_me INTEGER, handle_id INTEGER);";

QString database(const QString& folder, const QByteArray& script)
{
    QDir().mkpath(folder);
    const QString path = folder + "/chat.db";
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    EXPECT_EQ(sqlite3_exec(db, script.constData(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
    return path;
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
        EXPECT_EQ(skill.summary({}), QStringLiteral("메일 작성: ? / (제목 없음)"));
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
    MessagesListRecentSkill skill(database(root.path(), rows + ";"));

    for (const auto& [limit, count] : std::initializer_list<std::pair<const char*, int>>{
             {nullptr, 5}, {"", 5}, {"x", 5}, {" 3", 5}, {"0", 1}, {"+3", 3}, {"100", 20}}) {
        const QString answer = answerOf(skill, limit ? SkillArgs{{"limit", limit}} : SkillArgs{});
        EXPECT_TRUE(answer.startsWith(QStringLiteral("최근 메시지 %1건. unknown: who?").arg(count))) << limit;
        EXPECT_EQ(answer.count(" / "), count - 1) << limit;
    }
    EXPECT_EQ(answerOf(skill, {{"limit", "3"}}),
              QStringLiteral("최근 메시지 3건. unknown: who? / kim@b.c: m1 / +8210: m2"));
}

TEST(MessagesListRecentSkill, AnswersEveryFailureWithASentenceAndLeavesNoConnection)
{
    ScopedDataRoot root;
    const QString missing = MessagesListRecentSkill::defaultDatabasePath();
    const struct {
        QString path;
        QString answer;
    } cases[] = {
        {missing, "메시지 데이터베이스를 읽을 수 없어요. 데이터 폴더의 messages/chat.db 파일이 있는지, 읽기 권한이 "
                  "있는지 확인해주세요."},
        {database(root.path() + "/empty", kMessagesSchema), "최근 받은 메시지가 없어요."},
        {database(root.path() + "/other", "CREATE TABLE message (text TEXT);"),
         "메시지를 읽지 못했어요: SQLite prepare failed. 메시지 데이터베이스 파일의 읽기 권한을 확인해주세요."},
    };
    for (const auto& c : cases) {
        MessagesListRecentSkill skill(c.path);
        EXPECT_EQ(answerOf(skill), c.answer);
    }

    // A failed open still hands out a connection, which must be closed.
    MessagesListRecentSkill::query(missing, 5, nullptr);
    const auto before = sqlite3_memory_used();
    QString error;
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(MessagesListRecentSkill::query(missing, 5, &error));
    EXPECT_EQ(error, QStringLiteral("SQLite open failed"));
    EXPECT_EQ(sqlite3_memory_used(), before);
}
