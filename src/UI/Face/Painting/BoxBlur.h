#pragma once

class QImage;

// Blurs an image in place with three passes of a moving average each way, which comes close
// to a Gaussian of standard deviation `radius` pixels; what lies beyond the edges counts as
// transparent. QtGui has no blur of its own outside the widget effects.
void boxBlur(QImage& image, double radius);
