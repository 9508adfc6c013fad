#include "platform/qtdialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

namespace vimbrel {

namespace {

// The program's texts break lines with CR LF; Qt's labels want a bare LF.
QString displayText(const QString &text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return shown;
}

} // namespace

// The program's filter labels already name their patterns ("所有文件 (*.*)"), as the labels of
// the system dialogs it was made for do; the file dialogs show the label alone
// (QFileDialog::HideNameFilterDetails) instead of repeating the patterns after it.

std::optional<QString> QtDialogs::inputBox(const QString &prompt, const QString &title,
                                           const QString &defaultAnswer)
{
    bool ok = false;
    const QString text = QInputDialog::getText(m_parent, title, displayText(prompt),
                                               QLineEdit::Normal, defaultAnswer, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

void QtDialogs::messageBox(const QString &text, const QString &title, MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        QMessageBox::information(m_parent, title, displayText(text));
        break;
    case MessageIcon::Warning:
        QMessageBox::warning(m_parent, title, displayText(text));
        break;
    case MessageIcon::Critical:
        QMessageBox::critical(m_parent, title, displayText(text));
        break;
    }
}

std::optional<QString> QtDialogs::openFile(const QString &title, const QString &folder,
                                           const QString &filter)
{
    QFileDialog dialog(m_parent, title, folder, filter);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtDialogs::saveFile(const QString &title, const QString &filter,
                                           const QString &defaultName)
{
    // A name with its folder opens there; a bare name in the home folder, not in the working
    // folder, which for a program started from a menu means nothing.
    const QFileInfo given(defaultName);
    const bool inFolder = given.isAbsolute();
    QFileDialog dialog(m_parent, title, inFolder ? given.absolutePath() : QDir::homePath(), filter);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.selectFile(inFolder ? given.fileName() : defaultName);
    // The name is used exactly as typed: no suffix is appended behind the user's back.
    dialog.setDefaultSuffix(QString());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

bool QtDialogs::question(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::Question, title, displayText(text),
                    QMessageBox::Ok | QMessageBox::Cancel, m_parent);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

std::optional<QString> QtDialogs::browseFolder(const QString &prompt, const QString &start)
{
    const QString title = prompt.isEmpty() ? QStringLiteral("Select a folder:") : prompt;
    // Not the working folder, which for a program started from a menu means nothing.
    const QString folder = QFileDialog::getExistingDirectory(
        m_parent, title, start.isEmpty() ? QDir::homePath() : start);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

std::unique_ptr<Dialogs> QtDialogs::ownedBy(QWidget *owner)
{
    return std::make_unique<QtDialogs>(owner);
}

} // namespace vimbrel
