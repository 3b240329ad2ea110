#include "UI/Kit/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

void Clipboard::setText(const QString& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

void Clipboard::setImage(const QImage& image)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(image);
}
