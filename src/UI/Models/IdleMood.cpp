#include "UI/Models/IdleMood.h"

QString emoji(IdleMood mood)
{
    switch (mood) {
    case IdleMood::sleeping:
        return QStringLiteral("\U0001F4A4");
    case IdleMood::eating:
        return QStringLiteral("\U0001F359");
    case IdleMood::coffee:
        return QStringLiteral("\u2615\uFE0F");
    case IdleMood::reading:
        return QStringLiteral("\U0001F4D6");
    case IdleMood::stretching:
        return QStringLiteral("\U0001F646");
    case IdleMood::snack:
        return QStringLiteral("\U0001F36A");
    case IdleMood::daydreaming:
        return QStringLiteral("\U0001F4AD");
    case IdleMood::doodling:
        return QStringLiteral("\u270F\uFE0F");
    case IdleMood::napping:
        return QStringLiteral("\U0001F6CC");
    case IdleMood::yoga:
        return QStringLiteral("\U0001F9D8");
    }
    return {};
}

QString captionKey(IdleMood mood)
{
    return QStringLiteral("idle.mood.") + rawValue(mood);
}
