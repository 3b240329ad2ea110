#include "UI/Models/MinutesRowLayout.h"

#include <QFontMetrics>
#include <QString>

namespace {
constexpr int padding = 6;  // on either side of the name, inside its capsule
}

MinutesRowLayout MinutesRowLayout::of(int width, const QFontMetrics& time, const QFontMetrics& name,
                                      const QString& speaker, const QFontMetrics& text, const QString& line)
{
    MinutesRowLayout parts;
    parts.time = QRect(margin, lineGap, timeWidth, time.height());
    const int left = parts.time.right() + 1 + gap;
    const int room = std::max(width - left - margin, 2 * padding + 1);
    // A pixel of slack: a name measured in fractions would otherwise wrap by rounding. Its
    // height is measured too: a name in another script may take a taller fallback font.
    const int wrapWidth = std::min(name.horizontalAdvance(speaker) + 1, room - 2 * padding);
    const QSize nameSize(wrapWidth, name.boundingRect(QRect(0, 0, wrapWidth, 100000), nameFlags, speaker).height());
    parts.capsule = QRect(left, lineGap, nameSize.width() + 2 * padding, nameSize.height() + 4);
    parts.name = parts.capsule.adjusted(padding, 2, -padding, -2);

    // Beside the name while that leaves the text half the room, else under it.
    const int besideLeft = parts.capsule.right() + 1 + gap;
    const int besideWidth = width - besideLeft - margin;
    const bool beside = besideWidth >= room / 2;
    const int textLeft = beside ? besideLeft : left;
    const int textWidth = beside ? besideWidth : room;
    const int textTop = beside ? lineGap : parts.capsule.bottom() + 1 + lineGap;
    const QRect wrapped = text.boundingRect(QRect(0, 0, textWidth, 100000), textFlags, line);
    parts.text = QRect(textLeft, textTop, textWidth, wrapped.height());
    return parts;
}

int MinutesRowLayout::height() const
{
    return std::max({time.bottom(), capsule.bottom(), text.bottom()}) + 1 + 2 * lineGap;
}
