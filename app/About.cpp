#include "About.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

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
    m_contact->setPlainText(QStringLiteral("Velumo\nKontakt: siehe Handbuch (Velumo7Handbuch.pdf)"));
    m_contact->setFixedHeight(60);

    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(32, 32));
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
    setFixedWidth(300);
}

void TAboutBox::setProductName(const QString& text) { m_productName->setText(text); }

QString TAboutBox::productName() const { return m_productName->text(); }

} // namespace velumo
