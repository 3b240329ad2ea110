#pragma once

#include <QString>

namespace LineText {

// The text without spaces and tabs at either end; line breaks stay (a name or a draft is
// judged by what shows on its line).
QString trimmedSpacesAndTabs(const QString& text);

}  // namespace LineText
