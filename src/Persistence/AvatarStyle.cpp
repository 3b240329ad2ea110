#include "Persistence/AvatarStyle.h"

#include "Persistence/L10n.h"

QString nameKey(AvatarStyle style)
{
    return QStringLiteral("avatar.style.") + rawValue(style);
}

QString localizedName(AvatarStyle style, AppLanguage language)
{
    return L10n::t(nameKey(style), language);
}
