#include "UI/Kit/PlainTextLabel.h"

PlainTextLabel::PlainTextLabel(const QString& text, QWidget* parent) : QLabel(parent)
{
    QLabel::setTextFormat(Qt::PlainText);
    setText(text);
}
