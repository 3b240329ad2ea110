#pragma once

#include <QList>

namespace SegmentWidths {

// Shares `available` pixels among segments that want the given widths: all they want when it
// fits; otherwise short segments keep their width and only the widest give way, down to a
// common width (never below `smallest`), so "Gespräch" stays whole while a long label is cut.
QList<int> share(const QList<int>& wanted, int available, int smallest);

}  // namespace SegmentWidths
