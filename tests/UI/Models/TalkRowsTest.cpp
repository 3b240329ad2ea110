// Which rows the talk tab shows, and which skill hint its strip shows.
#include "UI/Models/TalkRows.h"

#include "Common/QtPrinters.h"
#include "Persistence/L10n.h"
#include "UI/Models/SkillTips.h"

#include <gtest/gtest.h>

namespace {
using Phase = ConversationPhase;
}

TEST(TalkRows, FollowPhaseModePendingSkillErrorAndHistory)
{
    struct Case {
        Phase phase;
        AppMode mode;
        bool skill, error, turns;
        TalkRows rows;  // tips, confirmation, banner, minutes, clear history
    };
    const Case cases[] = {
        {Phase::idle, AppMode::conversation, false, false, false, {true, false, false, false, false}},
        {Phase::listening, AppMode::brainstorm, false, false, true, {true, false, false, false, true}},
        {Phase::thinking, AppMode::conversation, true, true, true, {false, true, true, false, true}},
        {Phase::speaking, AppMode::translate, false, false, true, {false, false, false, false, true}},
        {Phase::interrupted, AppMode::counseling, false, true, false, {false, false, true, false, false}},
        {Phase::error, AppMode::conversation, true, false, false, {false, true, false, false, false}},
        // Minutes take the place of chat, composer and clear history, whatever the history holds.
        {Phase::listening, AppMode::minutes, true, true, true, {true, true, true, true, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(rawValue(c.phase).toStdString() + " " + rawValue(c.mode).toStdString());
        EXPECT_EQ(TalkRows::of(c.phase, c.mode, c.skill, c.error, c.turns), c.rows);
    }
}

TEST(SkillTips, RotateThroughEnabledSkillsInIdOrder)
{
    const AppLanguage en = AppLanguage::english;
    const QString tryKey = L10n::t(QStringLiteral("tip.try_saying"), en) + QStringLiteral(": ");
    const auto example = [&](const char* id) {
        return tryKey + L10n::t(QStringLiteral("skill.") + QLatin1String(id) + QStringLiteral(".example"), en);
    };
    const QStringList three{QStringLiteral("system.rest"), QStringLiteral("calendar.list_today"),
                            QStringLiteral("memory.add")};
    struct Case {
        const char* name;
        QStringList ids;
        QSet<QString> disabled;
        int rotation;
        QString text;
    };
    const Case cases[] = {
        {"first in id order", three, {}, 0, example("calendar.list_today")},
        {"third tick", three, {}, 2, example("system.rest")},
        {"wraps around", three, {}, 3, example("calendar.list_today")},
        {"a disabled skill shifts the next", three, {QStringLiteral("memory.add")}, 1, example("system.rest")},
        {"one skill at every tick", {QStringLiteral("memory.add")}, {}, 5, example("memory.add")},
        {"every skill off", three, QSet<QString>(three.begin(), three.end()), 4,
         L10n::t(QStringLiteral("tip.skills_off"), en)},
        {"no skill at all", {}, {}, 0, L10n::t(QStringLiteral("tip.skills_off"), en)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SkillTips::Tip tip = SkillTips::tip(c.ids, c.disabled, c.rotation, en);
        EXPECT_EQ(tip.text, c.text);
        const bool off = c.text == L10n::t(QStringLiteral("tip.skills_off"), en);
        EXPECT_EQ(tip.colour, off ? ThemePalette::Named::orange : ThemePalette::Named::yellow);
        EXPECT_EQ(tip.symbol, off ? QStringLiteral("lightbulb.slash") : QStringLiteral("lightbulb.fill"));
    }
}
