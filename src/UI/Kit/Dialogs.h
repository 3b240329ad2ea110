#pragma once

#include <QMessageBox>
#include <QString>

#include <deque>
#include <optional>

class QWidget;

// Every dialog the window opens goes through here. A test answers the next dialog in advance
// (setNextPath, setNextAnswer): the answer is taken instead of opening anything, so no test
// ever waits on a modal window. Without a prepared answer the real dialog opens. GUI thread.
class Dialogs {
public:
    // A folder chosen by the user; nothing when cancelled.
    std::optional<QString> chooseDirectory(QWidget* parent, const QString& message, const QString& acceptLabel);
    // An existing file chosen by the user; nothing when cancelled.
    std::optional<QString> chooseFile(QWidget* parent, const QString& title, const QString& nameFilter);
    // A question or a notice; the button the user pressed.
    QMessageBox::StandardButton ask(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
                                    QMessageBox::StandardButtons buttons = QMessageBox::Ok);

    // The next chooser returns this (nothing: the user cancels).
    void setNextPath(const std::optional<QString>& path) { m_nextPaths.push_back(path.value_or(QString())); }
    // The next question is answered with this button.
    void setNextAnswer(QMessageBox::StandardButton button) { m_nextAnswers.push_back(button); }
    // The texts of the questions answered in advance, oldest first (what the user would have read).
    const QStringList& askedTexts() const { return m_askedTexts; }

private:
    // Whether an answer was prepared; a null path stands for cancelling.
    bool takeNextPath(std::optional<QString>& path);

    std::deque<QString> m_nextPaths;
    std::deque<QMessageBox::StandardButton> m_nextAnswers;
    QStringList m_askedTexts;
};
