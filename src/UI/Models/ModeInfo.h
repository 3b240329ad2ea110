#pragma once

#include "Persistence/AppLanguage.h"
#include "Persistence/AppMode.h"

#include <QColor>
#include <QString>

// What the header shows of a mode: the picker's segment (label, symbol, hover help) and the
// stage badge (conversation is released, every other mode is beta).
namespace ModeInfo {

struct Segment {
    QString labelKey;
    QString shortKey;  // the label in fewer letters, for a narrow window
    QString symbol;
    QString helpKey;
};

struct Badge {
    QString text;
    QString accessibleName;
    QColor colour;
};

Segment segment(AppMode mode);
Badge badge(AppMode mode, bool dark, AppLanguage language);

}  // namespace ModeInfo
