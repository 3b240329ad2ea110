#pragma once

#include "UI/Models/TextTint.h"

#include <QFont>
#include <QWidget>

class Theme;

// One line of plain text that, when wider than its place, is shortened in the middle, so
// both its beginning and its end (such as a file's extension) stay visible.
class ElidedLabel final : public QWidget {
    Q_OBJECT
public:
    ElidedLabel(Theme& theme, const QFont& font, TextTint tint, QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);
    // What fits now, as painted.
    QString shownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Theme& m_theme;
    TextTint m_tint;
    QString m_text;
};
