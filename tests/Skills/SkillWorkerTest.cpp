#include "Skills/SkillWorker.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace std::chrono_literals;

// Jobs run on the worker's thread one after another, while the asking thread goes on with its
// own events; their outcomes come back to it, in order, only after run() has returned.
TEST(SkillWorker, AnswersLaterOnTheAskingThreadWhichKeepsRunningMeanwhile)
{
    SkillWorker worker(QStringLiteral("app.parlivox.test"));
    std::atomic<bool> ticked = false;
    std::atomic<QThread*> jobThread = nullptr;
    QStringList answers;
    const auto record = [&](Skill::Outcome outcome) {
        EXPECT_EQ(QThread::currentThread(), qApp->thread());
        const auto* error = std::get_if<SkillError>(&outcome);
        answers.append(error ? error->message : std::get<QString>(outcome));
    };
    worker.run(
        [&] {
            jobThread = QThread::currentThread();
            // Waits for a timer of the asking thread: it fires only if that thread is free.
            const auto until = std::chrono::steady_clock::now() + 5s;
            while (!ticked && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(1ms);
            return Skill::Outcome(ticked ? QStringLiteral("asked while free") : QStringLiteral("asked while held"));
        },
        record);
    worker.run([] { return Skill::Outcome(SkillError::skill(1, QStringLiteral("second"))); }, record);
    EXPECT_TRUE(answers.isEmpty()) << "nothing is answered before run() returns";
    QTimer::singleShot(0, [&] { ticked = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return answers.size() == 2; }, 10000));
    EXPECT_EQ(answers, QStringList({"asked while free", "second"}));
    EXPECT_NE(jobThread.load(), qApp->thread());
}

// Going, the worker finishes what it was given; what it had not yet delivered is dropped, never
// delivered to a caller that may have gone with it.
TEST(SkillWorker, WhatItHadNotDeliveredWhenItGoesIsDropped)
{
    std::atomic<int> ran = 0;
    int answered = 0;
    {
        SkillWorker worker(QStringLiteral("app.parlivox.test"));
        for (int i = 0; i < 3; ++i)
            worker.run(
                [&] {
                    ++ran;
                    return Skill::Outcome(QString());
                },
                [&](Skill::Outcome) { ++answered; });
    }
    QTest::qWait(20);
    EXPECT_EQ(ran, 3);
    EXPECT_EQ(answered, 0);
}
