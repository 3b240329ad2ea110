#include "UI/Models/LineText.h"

namespace LineText {

QString trimmedSpacesAndTabs(const QString& text)
{
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && blank(text[first]))
        ++first;
    while (end > first && blank(text[end - 1]))
        --end;
    return text.mid(first, end - first);
}

}  // namespace LineText
