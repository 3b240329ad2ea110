#pragma once

#include "Skills/SkillArgs.h"

#include <QUuid>

// A skill call held until the user approves or cancels it.
struct PendingSkill {
    QUuid id;
    QString skillID;
    QString summary;
    SkillArgs args;

    // A pending call with a fresh id: two holds of the same call are never equal.
    static PendingSkill make(QString skillID, QString summary, SkillArgs args)
    {
        return {QUuid::createUuid(), std::move(skillID), std::move(summary), std::move(args)};
    }

    bool operator==(const PendingSkill&) const = default;
};
