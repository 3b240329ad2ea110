#pragma once

#include <QImage>
#include <QString>

// The copy actions' one way to the clipboard: each copy first clears it, then puts exactly
// one thing on it (plain text or a picture), so no older rich content lingers beside it.
class Clipboard {
public:
    void setText(const QString& text);
    void setImage(const QImage& image);
};
