#pragma once

#include "Persistence/AppMode.h"
#include "Persona/NemotronPersona.h"
#include "UI/Models/PickerItem.h"

// The persona picker of one mode: the catalog's personas made for that mode under "이 모드용",
// then every other one under "다른 모드용", both in catalog order; a title only over a group
// that has personas.
namespace PersonaChoices {

PickerItems items(const QList<NemotronPersona>& catalog, AppMode mode);

}  // namespace PersonaChoices
