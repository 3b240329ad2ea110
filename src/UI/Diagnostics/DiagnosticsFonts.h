#pragma once

#include <QFont>

// The diagnostics tab's text styles at their pixel sizes: the application's own family for
// labels, a monospaced one (Hangul from the CJK monospaced face) for values and log lines.
namespace DiagnosticsFonts {

QFont text(int pixelSize, QFont::Weight weight = QFont::Normal);
QFont mono(int pixelSize, QFont::Weight weight = QFont::Normal);

}  // namespace DiagnosticsFonts
