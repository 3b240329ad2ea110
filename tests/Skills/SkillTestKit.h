#pragma once

#include "Common/FakeScheduler.h"
#include "Skills/RestCommand.h"
#include "Skills/Skill.h"
#include "Support/DesktopWorkspace.h"

#include <QStringList>

#include <gtest/gtest.h>

// Runs a skill to its answer: the sentence, or "error <code>: <message>" for a skill error.
// A run that pauses on the scheduler gets it advanced until it answers.
inline QString answerOf(Skill& skill, const SkillArgs& args = {}, FakeScheduler* scheduler = nullptr)
{
    QStringList answers;
    skill.run(args, [&](Skill::Outcome outcome) {
        const auto* error = std::get_if<SkillError>(&outcome);
        answers.append(error ? QStringLiteral("error %1: %2").arg(error->code).arg(error->message)
                             : std::get<QString>(outcome));
    });
    if (scheduler)
        scheduler->advance(std::chrono::seconds(1));
    EXPECT_EQ(answers.size(), 1) << "a run answers exactly once";
    return answers.value(0);
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
