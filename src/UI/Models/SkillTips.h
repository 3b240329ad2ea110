#pragma once

#include "Persistence/AppLanguage.h"
#include "UI/Models/ThemePalette.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <chrono>

// The hint that teaches what can be said: one example of one enabled skill at a time, the
// next skill at each rotation, or a warning when every skill is switched off.
namespace SkillTips {

struct Tip {
    QString symbol;
    QString text;
    ThemePalette::Named colour = ThemePalette::Named::yellow;

    friend bool operator==(const Tip&, const Tip&) = default;
};

// The time each tip stays.
inline constexpr std::chrono::milliseconds rotation{8'000};

// `skillIDs` in any order; the enabled ones are taken in ascending id order, and the
// rotation counts on from there modulo their number, so a skill switched off while its tip
// shows simply shifts which comes next.
Tip tip(const QStringList& skillIDs, const QSet<QString>& disabledIDs, int rotationIndex, AppLanguage language);

}  // namespace SkillTips
