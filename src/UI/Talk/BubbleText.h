#pragma once

#include <QTextEdit>

#include <functional>

// The text of one chat bubble on its rounded colour, at most 480 points wide. Plain text
// only, never markup. A word longer than the line (an address, Korean written without
// spaces) breaks anywhere rather than running past the edge. The text is read-only but can
// be reached by Tab, selected with the keyboard or the mouse and copied with Ctrl+C or the
// context menu, whose "Copy" takes the whole text when nothing is selected.
class BubbleText final : public QTextEdit {
    Q_OBJECT
public:
    static constexpr int widest = 480;

    explicit BubbleText(QWidget* parent = nullptr);

    QString text() const { return toPlainText(); }
    void setText(const QString& text);
    void setColours(const QColor& background, const QColor& text);
    // The context menu's texts, in the interface language.
    void setMenuTexts(const QString& copy, const QString& selectAll);
    // Where the context menu's copy goes (the window's clipboard).
    std::function<void(const QString&)> onCopy;

    // As wide as the text's longest line (at most the widest), as tall as it then wraps; the
    // minimum is one line, so a list of bubbles is never sized for squeezed text.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // Laid out beside free room, the bubble is never wider than its text: its height is
    // that of the text at the width it really gets.
    int heightForWidth(int width) const override;
    bool hasHeightForWidth() const override { return true; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    int naturalWidth() const;

    // A copy of the text laid out at any width, so measuring never disturbs the shown text.
    QTextDocument* m_measure;
    QColor m_background;
    QString m_copyText;
    QString m_selectAllText;
};
