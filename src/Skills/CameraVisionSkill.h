#pragma once

#include "Skills/Skill.h"

// "camera.describe": the model's way of asking to see the camera picture. The engine answers
// the call itself with its describe pass; run on its own, the skill answers nothing.
class CameraVisionSkill final : public Skill {
public:
    static constexpr const char* kSkillID = "camera.describe";

    CameraVisionSkill();

    void run(const SkillArgs& args, AppLanguage language, Completion done) override;
};
