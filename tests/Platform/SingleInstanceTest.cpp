// One program per user: the first claim wins, a later one hands over (on the bus or through
// the socket) and the first comes forward; what a dead program left behind stops nobody.
#include "Platform/SingleInstance.h"

#include "Common/PrivateBus.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {
using Role = SingleInstance::Role;

// A later start, on a thread of its own so this one can answer it; its role and reason.
std::pair<Role, QString> claimFromAnotherThread(const std::function<std::unique_ptr<SingleInstance>()>& make)
{
    std::atomic<bool> done{false};
    Role role = Role::first;
    QString why;
    std::thread later([&] {
        const auto instance = make();
        role = instance->claim(&why);
        done = true;
    });
    const bool answered = QTest::qWaitFor([&] { return done.load(); }, 20000);
    later.join();
    EXPECT_TRUE(answered);
    return {role, why};
}
}  // namespace

TEST(SingleInstance, WithoutABusTheLockDecidesAndTheSocketBringsTheFirstForward)
{
    QTemporaryDir runtime, data;
    const QDBusConnection noBus(QStringLiteral("none"));
    SingleInstance first(noBus, runtime.path(), data.path());
    int activated = 0;
    first.setOnActivate([&] { ++activated; });
    ASSERT_EQ(first.claim(), Role::first);

    const auto [role, why] = claimFromAnotherThread(
        [&] { return std::make_unique<SingleInstance>(noBus, runtime.path(), data.path()); });
    EXPECT_EQ(role, Role::handedOver);
    EXPECT_EQ(why, QStringLiteral("Parlivox is already running: its window was brought to the front"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return activated == 1; }, 5000));
}

TEST(SingleInstance, OnTheBusTheNameDecidesAndTheFirstIsCalledForward)
{
    PrivateBus session;
    ASSERT_TRUE(session.isRunning());
    QTemporaryDir runtime, data, otherData;
    SingleInstance first(session.connect(QStringLiteral("first")), runtime.path(), data.path());
    int activated = 0;
    first.setOnActivate([&] { ++activated; });
    QString why;
    ASSERT_EQ(first.claim(&why), Role::first);
    EXPECT_EQ(why, QStringLiteral("the one Parlivox of this user (app.parlivox.Parlivox on the session bus)"));

    // Even on another home the bus name stops a second program of the same desktop session.
    const QDBusConnection second = session.connect(QStringLiteral("second"));
    const auto [role, said] = claimFromAnotherThread(
        [&] { return std::make_unique<SingleInstance>(second, runtime.path(), otherData.path()); });
    EXPECT_EQ(role, Role::handedOver);
    EXPECT_EQ(said, QStringLiteral("Parlivox is already running: its window was brought to the front"));
    EXPECT_EQ(activated, 1);
}

TEST(SingleInstance, WhatAnEndedProgramLeftStopsNoOne)
{
    QTemporaryDir runtime, data;
    const QDBusConnection noBus(QStringLiteral("none"));
    // A socket file and a lock file of a program that was killed: the kernel freed its lock.
    QFile leftover(runtime.filePath(QStringLiteral("parlivox.socket")));
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.close();
    QFile lock(data.filePath(QStringLiteral("parlivox.lock")));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.close();
    {
        SingleInstance first(noBus, runtime.path(), data.path());
        EXPECT_EQ(first.claim(), Role::first);
    }
    SingleInstance again(noBus, runtime.path(), data.path());
    EXPECT_EQ(again.claim(), Role::first) << "the lock goes with the program";
}
