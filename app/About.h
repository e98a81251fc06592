#pragma once
// The About box "Info": the program icon, product name with version, a
// notice and where the manual is.

#include <QDialog>
#include <QStringList>

class QLabel;
class QPlainTextEdit;

namespace velumo {

// "Velumo 7.0.148" followed by a line break, as the product label shows it.
QString productNameText();

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    // Set when the main window is first shown.
    void setProductName(const QString& text);
    QString productName() const;
    // The manual's path, or where it was looked for when it is missing.
    void setManual(const QString& found, const QStringList& searched);
    QString contactText() const;

private:
    QLabel* m_productName;
    QLabel* m_notice;
    QPlainTextEdit* m_contact;
};

} // namespace velumo
