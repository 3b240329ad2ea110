#pragma once

#include <QRect>
#include <Qt>

class QFontMetrics;
class QString;

// Where one minutes line puts its parts in a row `width` pixels wide: the time, the speaker's
// name on a capsule, and the text, which wraps. The name is never cut: its capsule is as wide
// as the name; the text stands beside it while it keeps a fair share of the row, else on the
// lines below it; a name wider than the whole row wraps inside its capsule.
struct MinutesRowLayout {
    QRect time;
    QRect capsule;
    QRect name;  // inside the capsule
    QRect text;

    static constexpr int margin = 8;
    static constexpr int gap = 8;
    static constexpr int timeWidth = 64;
    static constexpr int lineGap = 2;
    static constexpr int textFlags = Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop;
    static constexpr int nameFlags = Qt::TextWordWrap | Qt::TextWrapAnywhere | Qt::AlignCenter;

    static MinutesRowLayout of(int width, const QFontMetrics& time, const QFontMetrics& name, const QString& speaker,
                               const QFontMetrics& text, const QString& line);

    int height() const;
};
