#pragma once

#include "Common/FakeScheduler.h"
#include "Skills/RestCommand.h"
#include "Skills/Skill.h"
#include "Support/DesktopWorkspace.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <sqlite3.h>

// Runs a skill to its answer in `language`: the sentence, or "error <code>: <message>" for a
// skill error. A run that pauses on the scheduler gets it advanced, and one that works on a
// worker gets the event loop, until it answers.
inline QString answerOf(Skill& skill, const SkillArgs& args = {}, AppLanguage language = AppLanguage::korean,
                        FakeScheduler* scheduler = nullptr)
{
    const auto answers = std::make_shared<QStringList>();
    skill.run(args, language, [answers](Skill::Outcome outcome) {
        EXPECT_EQ(QThread::currentThread(), qApp->thread()) << "answers come on the thread that asked";
        const auto* error = std::get_if<SkillError>(&outcome);
        answers->append(error ? QStringLiteral("error %1: %2").arg(error->code).arg(error->message)
                              : std::get<QString>(outcome));
    });
    if (scheduler)
        scheduler->advance(std::chrono::seconds(1));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !answers->isEmpty(); }, 20000));
    EXPECT_EQ(answers->size(), 1) << "a run answers exactly once";
    return answers->value(0);
}

// The tables of a messages database that the messages skill reads.
inline const char* const kMessagesSchema = "CREATE TABLE handle (ROWID INTEGER PRIMARY KEY, id TEXT);"
                                           "CREATE TABLE message (ROWID INTEGER PRIMARY KEY, text TEXT, date INTEGER,"
                                           " is_from_me INTEGER, handle_id INTEGER);";

// "chat.db" in `folder`, made by the SQL `script`.
inline QString database(const QString& folder, const QByteArray& script)
{
    QDir().mkpath(folder);
    const QString path = folder + "/chat.db";
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    EXPECT_EQ(sqlite3_exec(db, script.constData(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
    return path;
}

struct RecordingWorkspace final : DesktopWorkspace {
    bool openUrl(const QUrl& url) override
    {
        opened.append(url.toString(QUrl::FullyEncoded));
        return handlerExists;
    }
    void revealFile(const QString&) override {}

    QStringList opened;
    bool handlerExists = true;
};

struct RecordingRest final : RestCommand {
    void setRestWindow(const QDateTime& until) override { windows.append(until); }
    QList<QDateTime> windows;
};
