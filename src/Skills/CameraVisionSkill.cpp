#include "Skills/CameraVisionSkill.h"

#include "Skills/SkillRegistry.h"

CameraVisionSkill::CameraVisionSkill()
    : Skill(QLatin1String(kSkillID), SkillRegistry::builtInManifest(QLatin1String(kSkillID)))
{
}

QString CameraVisionSkill::summary(const SkillArgs&) const
{
    return QStringLiteral("카메라 화면 설명");
}

void CameraVisionSkill::run(const SkillArgs&, Completion done)
{
    done(QString());
}
