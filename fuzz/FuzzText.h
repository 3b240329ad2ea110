#pragma once

#include <QString>

// Text helpers of the targets that check what a text transformation kept.
namespace FuzzText {

// The text without any white space (QChar::isSpace), which trimming and spacing rules may change.
inline QString withoutSpace(const QString& text)
{
    QString kept;
    for (QChar c : text) {
        if (!c.isSpace())
            kept.append(c);
    }
    return kept;
}

}  // namespace FuzzText
