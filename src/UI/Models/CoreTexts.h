#pragma once

#include "Persistence/AppLanguage.h"

#include <QString>

// The messages the core writes in one language (for its log as much as for people), as the
// window shows them: a known message is told in the interface language with its details
// (locale, reason) kept, each detail itself told when it is a known message; any other is
// shown as the core wrote it. A message whose cause is a setting ends by naming where that
// setting is: its tab, section and row, as the window labels them.
namespace CoreTexts {

QString shown(const QString& message, AppLanguage language);

}  // namespace CoreTexts
