#include "UI/Models/PersonaChoices.h"

namespace PersonaChoices {

PickerItems items(const QList<NemotronPersona>& catalog, AppMode mode)
{
    PickerItems forMode;
    PickerItems others;
    for (const NemotronPersona& persona : catalog)
        (persona.modeAffinity == rawValue(mode) ? forMode : others)
            .append(PickerItem::choice(persona.displayLabel, persona.id));
    PickerItems items;
    if (!forMode.isEmpty())
        items << PickerItem::header(QStringLiteral("이 모드용")) << forMode;
    if (!others.isEmpty())
        items << PickerItem::header(QStringLiteral("다른 모드용")) << others;
    return items;
}

}  // namespace PersonaChoices
