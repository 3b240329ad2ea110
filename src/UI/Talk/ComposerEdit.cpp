#include "UI/Talk/ComposerEdit.h"

#include <QKeyEvent>
#include <QTextBlock>

#include <algorithm>

ComposerEdit::ComposerEdit(QWidget* parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("composerEdit"));
    setTabChangesFocus(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAttribute(Qt::WA_InputMethodEnabled);
    document()->setDocumentMargin(2);
    connect(this, &QPlainTextEdit::blockCountChanged, this, &QWidget::updateGeometry);
    connect(document(), &QTextDocument::contentsChanged, this, &QWidget::updateGeometry);
}

void ComposerEdit::setPrompt(const QString& prompt)
{
    m_prompt = prompt;
    setToolTip(prompt);
    setAccessibleName(prompt);
    fitPrompt();
}

void ComposerEdit::fitPrompt()
{
    const int room = viewport()->width() - 2 * int(document()->documentMargin()) - 4;
    setPlaceholderText(fontMetrics().elidedText(m_prompt, Qt::ElideRight, std::max(room, 0)));
}

void ComposerEdit::resizeEvent(QResizeEvent* event)
{
    QPlainTextEdit::resizeEvent(event);
    fitPrompt();
}

int ComposerEdit::heightForLines(int lines) const
{
    const QMargins margins = contentsMargins();
    return lines * fontMetrics().lineSpacing() + 2 * int(document()->documentMargin()) + margins.top() +
           margins.bottom() + 2;
}

QSize ComposerEdit::sizeHint() const
{
    int lines = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        lines += std::max(1, block.layout()->lineCount());
    return {QPlainTextEdit::sizeHint().width(), heightForLines(std::clamp(lines, 1, tallestLines))};
}

QSize ComposerEdit::minimumSizeHint() const
{
    return {QPlainTextEdit::minimumSizeHint().width(), heightForLines(1)};
}

bool ComposerEdit::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_K)) {
            event->ignore();
            return false;
        }
    }
    return QPlainTextEdit::event(event);
}

void ComposerEdit::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (enter && modifiers == Qt::NoModifier) {
        emit submitted();
        return;
    }
    if (enter && modifiers == Qt::ShiftModifier) {
        insertPlainText(QStringLiteral("\n"));
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}
