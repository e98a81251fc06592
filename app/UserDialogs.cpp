#include "UserDialogs.h"

#include "DesktopOpen.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace velumo {

QMessageBox::Icon messageIcon(const QString& caption)
{
    return caption == QStringLiteral("Fehler") ? QMessageBox::Critical : QMessageBox::Information;
}

std::unique_ptr<QMessageBox> messageBox(QWidget* parent, const QString& caption, const QString& text)
{
    return std::make_unique<QMessageBox>(messageIcon(caption),
        caption.isEmpty() ? QStringLiteral("Velumo") : caption, text, QMessageBox::Ok, parent);
}

std::unique_ptr<QMessageBox> questionBox(
    QWidget* parent, const QString& caption, const QString& text, bool withCancel)
{
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel)
        buttons |= QMessageBox::Cancel;
    auto box = std::make_unique<QMessageBox>(QMessageBox::Question, caption, text, buttons, parent);
    box->setDefaultButton(QMessageBox::Yes);
    if (withCancel)
        box->setEscapeButton(QMessageBox::Cancel);
    return box;
}

void QtUserDialogs::message(QWidget* parent, const QString& caption, const QString& text)
{
    messageBox(parent, caption, text)->exec();
}

UserDialogs::Answer QtUserDialogs::question(
    QWidget* parent, const QString& caption, const QString& text, bool withCancel)
{
    switch (questionBox(parent, caption, text, withCancel)->exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        // Closing a Yes/No box by its frame counts as No, as it cannot cancel.
        return withCancel ? Answer::Cancel : Answer::No;
    }
}

QString QtUserDialogs::openFileName(
    QWidget* parent, const QString& title, const QString& startFolder, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, title, startFolder, filter);
}

QString QtUserDialogs::saveFileName(QWidget* parent, const QString& title, const QString& preset,
    const QString& filter, const QString& defaultSuffix)
{
    QFileDialog dialog(parent, title, QFileInfo(preset).absolutePath(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.selectFile(QFileInfo(preset).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

void QtUserDialogs::openWithDesktop(const QString& path)
{
    // The answer may come after the window that asked has gone.
    openInDesktop(path, qApp, [](const QString& text) {
        messageBox(QApplication::activeWindow(), QStringLiteral("Fehler"), text)->exec();
    });
}

int QtUserDialogs::execDialog(QDialog& dialog) { return dialog.exec(); }

} // namespace velumo
