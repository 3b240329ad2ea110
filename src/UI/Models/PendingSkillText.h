#pragma once

#include "Persistence/AppLanguage.h"

#include <QString>

struct PendingSkill;
class SkillRegistry;

// The approval card's words for a call waiting for consent. The engine words the call in the
// language of the voice that asks about it; the card asks the skill again, in the window's.
namespace PendingSkillText {

// The skill's summary of the call in `language`; the engine's wording when the skill is not
// (or no longer) registered.
QString summary(const PendingSkill& pending, const SkillRegistry& skills, AppLanguage language);

}  // namespace PendingSkillText
