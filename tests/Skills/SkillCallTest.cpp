#include "Skills/SkillCall.h"
#include "Skills/PendingSkill.h"

#include <gtest/gtest.h>

TEST(SkillCall, DecodesOnlyObjectsWithAStringSkillAndStringArguments)
{
    struct Case {
        const char* line;
        std::optional<SkillCall> expected;
    };
    const SkillArgs thirty{{"minutes", "30"}};
    const Case cases[] = {
        {R"({"skill":"calendar.list_today","args":{}})", SkillCall{"calendar.list_today", SkillArgs()}},
        {R"({"skill":"calendar.list_today"})", SkillCall{"calendar.list_today", std::nullopt}},
        {R"({"skill":"system.rest","args":null})", SkillCall{"system.rest", std::nullopt}},
        {R"({"skill":"system.rest","args":{"minutes":"30"}})", SkillCall{"system.rest", thirty}},
        {R"(  {"args":{"minutes":"30"},"skill":"system.rest","why":[1,2]}  )", SkillCall{"system.rest", thirty}},
        {R"({"skill":"mail.compose","args":{"to":"a@b.c","subject":"안녕 \"quoted\""}})",
         SkillCall{"mail.compose", SkillArgs{{"to", "a@b.c"}, {"subject", "안녕 \"quoted\""}}}},
        // Malformed: every argument must be a string, the skill must be a string.
        {R"({"skill":"system.rest","args":{"minutes":30}})", std::nullopt},
        {R"({"skill":"system.rest","args":{"minutes":true}})", std::nullopt},
        {R"({"skill":"system.rest","args":{"minutes":null}})", std::nullopt},
        {R"({"skill":"system.rest","args":{"minutes":{"value":"30"}}})", std::nullopt},
        {R"({"skill":"system.rest","args":["30"]})", std::nullopt},
        {R"({"skill":42})", std::nullopt},
        {R"({"skill":null})", std::nullopt},
        {R"({"args":{}})", std::nullopt},
        // Not a tool line at all.
        {R"([{"skill":"calendar.list_today"}])", std::nullopt},
        {R"({"skill":"calendar.list_today"} and then some words)", std::nullopt},
        {R"({"skill":"calendar.list_today")", std::nullopt},
        {"오늘 일정을 알려드릴게요.", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        QString error;
        const auto call = SkillCall::decode(QString::fromUtf8(c.line), &error);
        EXPECT_EQ(call, c.expected);
        EXPECT_EQ(error.isEmpty(), c.expected.has_value()) << "a failure says why";
    }
}

TEST(PendingSkill, EachHoldIsItsOwnEvenForTheSameCall)
{
    const SkillArgs args{{"to", "a@b.c"}};
    const auto first = PendingSkill::make("mail.compose", "메일: a@b.c", args);
    const auto second = PendingSkill::make("mail.compose", "메일: a@b.c", args);
    EXPECT_NE(first, second);
    EXPECT_EQ(first, PendingSkill(first));  // a copy is the same hold
}
