#pragma once

#include "Persistence/AppLanguage.h"
#include "Persistence/AppMode.h"
#include "Persona/NemotronPersona.h"
#include "UI/Models/PickerItem.h"

// The persona picker of one mode: the catalog's personas made for that mode under "for this
// mode", then every other one under "for other modes" (titles in the interface language),
// both in catalog order; a title only over a group that has personas.
namespace PersonaChoices {

PickerItems items(const QList<NemotronPersona>& catalog, AppMode mode, AppLanguage language);

}  // namespace PersonaChoices
