#pragma once

#include "Common/FakeScheduler.h"
#include "Skills/RestCommand.h"
#include "Skills/Skill.h"
#include "Support/DesktopWorkspace.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

// Runs a skill to its answer: the sentence, or "error <code>: <message>" for a skill error.
// A run that pauses on the scheduler gets it advanced, and one that works on a worker gets
// the event loop, until it answers.
inline QString answerOf(Skill& skill, const SkillArgs& args = {}, FakeScheduler* scheduler = nullptr)
{
    const auto answers = std::make_shared<QStringList>();
    skill.run(args, [answers](Skill::Outcome outcome) {
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
    AppLanguage spokenLanguage() const override { return language; }
    QList<QDateTime> windows;
    AppLanguage language = AppLanguage::korean;
};
