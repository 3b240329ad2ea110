#include "UI/Models/PersonaChoices.h"

#include "Persistence/L10n.h"

namespace PersonaChoices {

PickerItems items(const QList<NemotronPersona>& catalog, AppMode mode, AppLanguage language)
{
    PickerItems forMode;
    PickerItems others;
    for (const NemotronPersona& persona : catalog)
        (persona.modeAffinity == rawValue(mode) ? forMode : others)
            .append(PickerItem::choice(persona.displayLabel, persona.id));
    PickerItems items;
    if (!forMode.isEmpty())
        items << PickerItem::header(L10n::t(QStringLiteral("settings.persona_for_mode"), language)) << forMode;
    if (!others.isEmpty())
        items << PickerItem::header(L10n::t(QStringLiteral("settings.persona_other_modes"), language)) << others;
    return items;
}

}  // namespace PersonaChoices
