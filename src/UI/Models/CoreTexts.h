#pragma once

#include "Persistence/AppLanguage.h"

#include <QString>

// The messages the core writes in one language (for its log as much as for people), as the
// window shows them: a known message is told in the interface language with its details
// (locale, reason) kept; any other is shown as the core wrote it.
namespace CoreTexts {

QString shown(const QString& message, AppLanguage language);

}  // namespace CoreTexts
