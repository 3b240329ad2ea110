#include "Platform/QuitDeadline.h"

#include "Skills/SkillWorker.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <future>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

// The end of main: a skill's worker goes (it waits for its job) with the deadline armed.
void quitWithAJobThat(bool returns)
{
    QTemporaryDir dir;
    // What SQLite does with a FIFO beside a database: opens it and waits for a writer.
    const QByteArray fifo = QFile::encodeName(dir.filePath(QStringLiteral("chat.db-journal")));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    std::optional<QuitDeadline> deadline;
    {
        SkillWorker worker(QStringLiteral("app.parlivox.messages"));
        std::promise<void> started;
        worker.run(
            [&] {
                started.set_value();
                if (!returns)
                    ::close(::open(fifo.constData(), O_RDONLY));
                return Skill::Outcome(QString());
            },
            [](const Skill::Outcome&) {});
        started.get_future().wait();
        deadline.emplace(200ms, 3);
    }
    deadline.reset();
}

}  // namespace

// Quitting never waits on a skill: a worker whose job never returns holds the teardown only
// until the deadline, when the process ends with the code it was to return and says why; a
// teardown done in time goes on as usual.
TEST(QuitDeadline, ATeardownHeldUpByASkillsWorkerEndsAtTheDeadline)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    quitWithAJobThat(true);
    // Should the deadline not end it, the alarm does, a failure rather than a test that hangs.
    EXPECT_EXIT(
        {
            ::alarm(60);
            quitWithAJobThat(false);
        },
        ::testing::ExitedWithCode(3),
                "quitting: still not done 200 ms after the session was written");
}
