#include "UI/Kit/Dialogs.h"

#include <QFileDialog>

bool Dialogs::takeNextPath(std::optional<QString>& path)
{
    if (m_nextPaths.empty())
        return false;
    if (!m_nextPaths.front().isNull())
        path = m_nextPaths.front();
    m_nextPaths.pop_front();
    return true;
}

std::optional<QString> Dialogs::chooseDirectory(QWidget* parent, const QString& message, const QString& acceptLabel)
{
    std::optional<QString> prepared;
    if (takeNextPath(prepared))
        return prepared;
    QFileDialog dialog(parent, message);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setLabelText(QFileDialog::Accept, acceptLabel);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> Dialogs::chooseFile(QWidget* parent, const QString& title, const QString& nameFilter)
{
    std::optional<QString> prepared;
    if (takeNextPath(prepared))
        return prepared;
    const QString path = QFileDialog::getOpenFileName(parent, title, QString(), nameFilter);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

QMessageBox::StandardButton Dialogs::ask(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                         const QString& text, QMessageBox::StandardButtons buttons)
{
    if (!m_nextAnswers.empty()) {
        const QMessageBox::StandardButton answer = m_nextAnswers.front();
        m_nextAnswers.pop_front();
        m_askedTexts << text;
        return answer;
    }
    QMessageBox box(icon, title, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    return QMessageBox::StandardButton(box.exec());
}
