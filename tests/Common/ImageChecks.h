#pragma once

#include <QImage>

// True when every pixel of the image has one colour (or it has none): nothing was drawn.
bool isBlank(const QImage& image);
