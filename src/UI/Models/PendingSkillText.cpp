#include "UI/Models/PendingSkillText.h"

#include "Skills/PendingSkill.h"
#include "Skills/SkillRegistry.h"

namespace PendingSkillText {

QString summary(const PendingSkill& pending, const SkillRegistry& skills, AppLanguage language)
{
    const std::shared_ptr<Skill> skill = skills.skill(pending.skillID);
    return skill ? skill->summary(pending.args, language) : pending.summary;
}

}  // namespace PendingSkillText
