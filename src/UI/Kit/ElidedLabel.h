#pragma once

#include "UI/Models/TextTint.h"

#include <QFont>
#include <QWidget>

class Theme;

// One line of plain text that, when wider than its place, is shortened with "…": in the
// middle, so both its beginning and its end (such as a file's extension) stay visible, or at
// its end. While shortened, the whole text is its tooltip; it is always its accessible name.
class ElidedLabel final : public QWidget {
    Q_OBJECT
public:
    ElidedLabel(Theme& theme, const QFont& font, TextTint tint, Qt::TextElideMode mode, QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);
    // What fits now, as painted.
    QString shownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void rename();

    Theme& m_theme;
    TextTint m_tint;
    Qt::TextElideMode m_mode;
    QString m_text;
};
