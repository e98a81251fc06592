#pragma once
// The About box "Info": product name with version, a notice and the maker's
// contact details.

#include <QDialog>

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

private:
    QLabel* m_productName;
    QLabel* m_notice;
    QPlainTextEdit* m_contact;
};

} // namespace velumo
