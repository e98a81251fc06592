#include "About.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "Application.h"

namespace velumo {

namespace {
constexpr const char* kVersion = "7.0";
constexpr int kBuild = 148;
} // namespace

QString productNameText()
{
    return QStringLiteral("Velumo ") + QString::fromLatin1(kVersion) + QStringLiteral(".")
        + QString::number(kBuild) + QStringLiteral("\n");
}

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent)
    , m_productName(new QLabel(this))
    , m_notice(new QLabel(this))
    , m_contact(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("Info"));
    m_productName->setObjectName(QStringLiteral("ProductName"));
    QFont bold = m_productName->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    m_productName->setFont(bold);
    m_notice->setObjectName(QStringLiteral("Notice"));
    m_notice->setWordWrap(true);
    m_notice->setText(QStringLiteral("Simulation von Hornlautsprechern. Die Ergebnisse sind Modellrechnungen "
                                     "und ersetzen keine Messung."));
    m_contact->setObjectName(QStringLiteral("Contact"));
    m_contact->setReadOnly(true);
    m_contact->setFixedHeight(72);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setPixmap(programIcon().pixmap(48, 48));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(m_productName, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(ok);
    bottom->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_notice);
    layout->addWidget(m_contact);
    layout->addLayout(bottom);
    setFixedWidth(360);
}

void TAboutBox::setManual(const QString& found, const QStringList& searched)
{
    m_contact->setPlainText(found.isEmpty()
            ? QStringLiteral("Handbuch (F1): nicht gefunden, gesucht in\n") + searched.join(QLatin1Char('\n'))
            : QStringLiteral("Handbuch (F1):\n") + found);
}

QString TAboutBox::contactText() const { return m_contact->toPlainText(); }

void TAboutBox::setProductName(const QString& text) { m_productName->setText(text); }

QString TAboutBox::productName() const { return m_productName->text(); }

} // namespace velumo
