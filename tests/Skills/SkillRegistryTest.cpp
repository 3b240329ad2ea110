#include "Skills/SkillRegistry.h"

#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

namespace {
class FakeSkill final : public Skill {
public:
    using Skill::Skill;
    QString summary(const SkillArgs&, AppLanguage) const override { return id(); }
    void run(const SkillArgs&, AppLanguage, Completion done) override { done(QStringLiteral("done")); }
};

// The system's skills in the order they are registered (not sorted).
const QStringList kRegistrationOrder = {
    "calendar.list_today",   "calendar.list_week", "calendar.create_event", "calendar.update_event",
    "calendar.delete_event", "mail.compose",       "messages.list_recent",  "aliases.add",
    "system.app_resources",  "memory.add",         "camera.describe",       "system.rest",
};

const QStringList kSortedOrder = {
    "aliases.add",        "calendar.create_event", "calendar.delete_event", "calendar.list_today",
    "calendar.list_week", "calendar.update_event", "camera.describe",       "mail.compose",
    "memory.add",         "messages.list_recent",  "system.app_resources",  "system.rest",
};

const QString kNoToolsText =
    QStringLiteral("# 사용 가능한 도구 (Skills)\n\n현재 활성화된 도구가 없습니다. 항상 자연어로만 답하세요.");

SkillRegistry builtInRegistry()
{
    SkillRegistry registry;
    for (const QString& id : kRegistrationOrder)
        registry.add(std::make_shared<FakeSkill>(id, SkillRegistry::builtInManifest(id)));
    return registry;
}

QStringList skillLines(const QStringList& ids)
{
    QStringList lines;
    for (const QString& id : ids)
        lines.append(QStringLiteral("- ") + SkillRegistry::builtInManifest(id));
    return lines;
}
}  // namespace

TEST(SkillRegistry, ToolSectionIsTheHeaderThenEnabledSkillsInIdOrder)
{
    const SkillRegistry registry = builtInRegistry();
    struct Case {
        QSet<QString> disabled;
        QStringList listed;
    };
    QStringList withoutRestAndMail = kSortedOrder;
    withoutRestAndMail.removeAll("system.rest");
    withoutRestAndMail.removeAll("mail.compose");
    const Case cases[] = {
        {{}, kSortedOrder},
        {{"system.rest", "mail.compose", "no.such.skill"}, withoutRestAndMail},
    };
    for (const auto& c : cases) {
        const QString text = registry.toolsManifest(c.disabled);
        EXPECT_FALSE(text.endsWith('\n'));
        const QStringList lines = text.split('\n');
        ASSERT_EQ(lines.size(), 12 + c.listed.size());
        EXPECT_EQ(lines[0], QStringLiteral("# 사용 가능한 도구 (Skills)"));
        EXPECT_TRUE(lines[2].startsWith(QStringLiteral("당신은 Parlivox 의 음성 비서입니다.")));
        EXPECT_EQ(lines[6], QStringLiteral(R"(예시: {"skill":"calendar.list_today","args":{}})"));
        EXPECT_EQ(lines[10], QStringLiteral("## 도구 목록"));
        for (int empty : {1, 3, 5, 7, 9, 11})
            EXPECT_TRUE(lines[empty].isEmpty()) << empty;
        EXPECT_EQ(lines.mid(12), skillLines(c.listed));
    }
}

TEST(SkillRegistry, WithNothingEnabledTheModelIsToldToAnswerInWords)
{
    EXPECT_EQ(SkillRegistry().toolsManifest({}), kNoToolsText);
    EXPECT_EQ(builtInRegistry().toolsManifest(QSet<QString>(kSortedOrder.begin(), kSortedOrder.end())), kNoToolsText);
}

TEST(SkillRegistry, LooksUpExactIdsAndListsSkillsInIdOrder)
{
    SkillRegistry registry = builtInRegistry();
    EXPECT_EQ(registry.skill("memory.add")->id(), QStringLiteral("memory.add"));
    EXPECT_EQ(registry.skill("Memory.Add"), nullptr);
    EXPECT_EQ(registry.skill("memory"), nullptr);

    auto replacement = std::make_shared<FakeSkill>("mail.compose", "mail.compose — other", true);
    registry.add(replacement);
    EXPECT_EQ(registry.skill("mail.compose"), replacement);

    QStringList listed;
    for (const auto& skill : registry.allSkills())
        listed.append(skill->id());
    EXPECT_EQ(listed, kSortedOrder);
}

TEST(SkillRegistry, BuiltInManifestsAreOneLineEachStartingWithTheirId)
{
    for (const QString& id : kRegistrationOrder) {
        const QString manifest = SkillRegistry::builtInManifest(id);
        EXPECT_TRUE(manifest.startsWith(id + QStringLiteral(" — "))) << qPrintable(id);
        EXPECT_FALSE(manifest.contains('\n'));
    }
    EXPECT_EQ(SkillRegistry::builtInManifest("calendar"), QString());
}
