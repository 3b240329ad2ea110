#pragma once

#include <QList>

namespace SegmentWidths {

// What a segment (a pill button) can take: its full width (with its shortcut hint), its width
// with the caption whole but no hint, with its short caption (as wide as whole when it has
// none), and the least it can shrink to.
struct Segment {
    int full = 0;
    int whole = 0;
    int shortened = 0;
    int least = 0;
};

// Shares `available` pixels among segments that want the given widths: all they want when it
// fits; otherwise short segments keep their width and only the widest give way, down to a
// common width (never below `smallest`), so "Gespräch" stays whole while a long label is cut.
QList<int> share(const QList<int>& wanted, int available, int smallest);

// One line of segments in `available` pixels (spacing already taken off): all at full width
// when that fits; else every caption whole, the widest changing to their short forms only as
// far as needed, and hints given back, in order, where room is left. Only when even the short
// forms do not fit are the widest cut (`share`).
QList<int> fit(const QList<Segment>& segments, int available);

// Where the lines of a row that wraps begin: each line holds as many segments, captions whole,
// as fit `available`, and at least one.
QList<qsizetype> lineStarts(const QList<Segment>& segments, int spacing, int available);

}  // namespace SegmentWidths
