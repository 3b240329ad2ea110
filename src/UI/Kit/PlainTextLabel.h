#pragma once

#include <QLabel>

// A label for text that comes from outside: transcripts, model replies, errors, log lines.
// It always shows the text as typed; markup in it is never interpreted, so a reply cannot
// draw links, images or styles into the window.
class PlainTextLabel : public QLabel {
    Q_OBJECT
public:
    explicit PlainTextLabel(const QString& text = QString(), QWidget* parent = nullptr);

    // The format is fixed; hiding the setter keeps a caller from turning markup back on.
    void setTextFormat(Qt::TextFormat) = delete;
};
