#include "UI/Models/ModeInfo.h"

#include "Persistence/L10n.h"
#include "UI/Models/ThemePalette.h"

namespace ModeInfo {

namespace {
QString symbol(AppMode mode)
{
    switch (mode) {
    case AppMode::conversation:
        return QStringLiteral("bubble.left.and.bubble.right.fill");
    case AppMode::minutes:
        return QStringLiteral("doc.text.fill");
    case AppMode::brainstorm:
        return QStringLiteral("lightbulb.fill");
    case AppMode::counseling:
        return QStringLiteral("heart.text.square.fill");
    case AppMode::translate:
        return QStringLiteral("globe");
    }
    return {};
}
}  // namespace

Segment segment(AppMode mode)
{
    const QString key = QStringLiteral("mode.") + rawValue(mode);
    return {key, key + QStringLiteral("_short"), symbol(mode), key + QStringLiteral("_help")};
}

Badge badge(AppMode mode, bool dark, AppLanguage language)
{
    using ThemePalette::Named;
    const bool released = mode == AppMode::conversation;
    const QString key = released ? QStringLiteral("mode.badge_release") : QStringLiteral("mode.badge_beta");
    return {L10n::t(key, language), L10n::t(key + QStringLiteral("_name"), language),
            ThemePalette::filled(released ? Named::green : Named::warm, dark)};
}

}  // namespace ModeInfo
