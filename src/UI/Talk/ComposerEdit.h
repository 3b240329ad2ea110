#pragma once

#include <QPlainTextEdit>

// The composer's text box: Enter sends, Shift+Enter starts a new line, Tab moves on. It grows
// with its text up to four lines; while empty it shows its prompt on one line, cut with "…"
// where the box is too narrow and whole on hover. Text arrives from the keyboard or the input method (Hangul
// composed by ibus or fcitx shows as preedit until committed). The window's shortcuts that
// the text box would otherwise take (Ctrl+K) stay the window's.
class ComposerEdit final : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int tallestLines = 4;

    explicit ComposerEdit(QWidget* parent = nullptr);

    // The placeholder, its hover help and the name screen readers hear.
    void setPrompt(const QString& prompt);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void submitted();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int heightForLines(int lines) const;
    void fitPrompt();

    QString m_prompt;
};
