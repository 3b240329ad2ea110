#pragma once

#include "Skills/Skill.h"

// "aliases.add": stores a correction for a word speech recognition keeps getting wrong.
class AliasAddSkill final : public Skill {
public:
    static constexpr const char* kSkillID = "aliases.add";

    AliasAddSkill();

    QString summary(const SkillArgs& args, AppLanguage language) const override;
    // Trims both texts first and confirms only when the pair is what the alias file now ends
    // with; blank or equal texts, and a failed write, are answered as not registered.
    void run(const SkillArgs& args, AppLanguage language, Completion done) override;
};
