#pragma once

class QString;
class QWidget;

// A control or label whose caption may show shortened (a short form, or cut with "…") still
// names itself in full: the whole caption is its accessible name and, while shortened, heads
// its tooltip, above its help.
namespace Caption {

void name(QWidget& widget, const QString& caption, const QString& help, bool shownWhole);

}  // namespace Caption
