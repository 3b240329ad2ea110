#pragma once

#include <QPlainTextEdit>

// The composer's text box: Enter sends, Shift+Enter starts a new line, Tab moves on. It grows
// with its text up to four lines. Text arrives from the keyboard or the input method (Hangul
// composed by ibus or fcitx shows as preedit until committed). The window's shortcuts that
// the text box would otherwise take (Ctrl+K) stay the window's.
class ComposerEdit final : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int tallestLines = 4;

    explicit ComposerEdit(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void submitted();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int heightForLines(int lines) const;
};
