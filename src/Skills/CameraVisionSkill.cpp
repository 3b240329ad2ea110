#include "Skills/CameraVisionSkill.h"

#include "Skills/SkillRegistry.h"

CameraVisionSkill::CameraVisionSkill()
    : Skill(QLatin1String(kSkillID), SkillRegistry::builtInManifest(QLatin1String(kSkillID)))
{
}

void CameraVisionSkill::run(const SkillArgs&, AppLanguage, Completion done)
{
    done(QString());
}
