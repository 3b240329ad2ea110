#pragma once

#include "Skills/Skill.h"

// "memory.add": appends a fact about the user to the persona memory that later system
// prompts carry.
class MemoryAddSkill final : public Skill {
public:
    static constexpr const char* kSkillID = "memory.add";

    MemoryAddSkill();

    QString summary(const SkillArgs& args, AppLanguage language) const override;
    // Trims the note first; confirms only when the memory file took it.
    void run(const SkillArgs& args, AppLanguage language, Completion done) override;
};
