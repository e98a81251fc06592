#pragma once
// Everything the main window asks the user or hands to the desktop goes
// through this interface, so tests can answer without a real modal box.

#include <QMessageBox>
#include <QString>

#include <memory>

class QDialog;
class QWidget;

namespace velumo {

class UserDialogs {
public:
    enum class Answer { Yes, No, Cancel };

    virtual ~UserDialogs() = default;

    // A modal box with an OK button; an empty caption shows the program title.
    virtual void message(QWidget* parent, const QString& caption, const QString& text) = 0;
    // Yes/No, or Yes/No/Cancel when `withCancel`.
    virtual Answer question(QWidget* parent, const QString& caption, const QString& text, bool withCancel)
        = 0;
    // The chosen file, or an empty text when the dialog was cancelled.
    virtual QString openFileName(
        QWidget* parent, const QString& title, const QString& startFolder, const QString& filter)
        = 0;
    // `preset` is the full path shown first; the dialog confirms overwriting.
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& preset,
        const QString& filter, const QString& defaultSuffix)
        = 0;
    // Hands a file to the desktop's default application; a box says so when
    // the file is missing or the desktop has no application for it.
    virtual void openWithDesktop(const QString& path) = 0;
    // Shows a dialog modally; returns its result code.
    virtual int execDialog(QDialog& dialog) = 0;
};

// The icon of a message box by its caption: "Fehler" critical, anything
// else ("Hinweis", the program title) information.
QMessageBox::Icon messageIcon(const QString& caption);
// The boxes QtUserDialogs shows, built but not shown.
std::unique_ptr<QMessageBox> messageBox(QWidget* parent, const QString& caption, const QString& text);
std::unique_ptr<QMessageBox> questionBox(
    QWidget* parent, const QString& caption, const QString& text, bool withCancel);

// Qt's file dialog filter of project files.
inline QString projectFilter() { return QStringLiteral("Velumo-Projekt (*.vlm)"); }

// The real boxes and dialogs of Qt.
class QtUserDialogs : public UserDialogs {
public:
    void message(QWidget* parent, const QString& caption, const QString& text) override;
    Answer question(QWidget* parent, const QString& caption, const QString& text, bool withCancel) override;
    QString openFileName(
        QWidget* parent, const QString& title, const QString& startFolder, const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& title, const QString& preset, const QString& filter,
        const QString& defaultSuffix) override;
    void openWithDesktop(const QString& path) override;
    int execDialog(QDialog& dialog) override;
};

} // namespace velumo
