#pragma once

#include <QFont>
#include <QString>

class QColor;
class QPainter;
class QPointF;

// A log message laid out in a width: broken between words where it can, anywhere inside a
// word longer than the width, and at its own line breaks. The list delegates measure and
// paint messages through it, so a row is as tall as its text.
namespace WrappedText {

int height(const QFont& font, const QString& text, int width);
void paint(QPainter& painter, const QFont& font, const QString& text, const QPointF& topLeft, int width,
           const QColor& colour);

}  // namespace WrappedText
