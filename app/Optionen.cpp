#include "Optionen.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "Settings.h"

namespace velumo {

TOptionenForm::TOptionenForm(QWidget* parent)
    : QDialog(parent)
    , m_switch(new QCheckBox(QStringLiteral("Bei Folgesimulation Farbe wechseln"), this))
    , m_ok(new QPushButton(QStringLiteral("OK"), this))
    , m_cancel(new QPushButton(QStringLiteral("Abbrechen"), this))
{
    setObjectName(QStringLiteral("OptionenForm"));
    setWindowTitle(QStringLiteral("Optionen"));
    m_switch->setObjectName(QStringLiteral("CBFarbeWechseln"));
    m_ok->setObjectName(QStringLiteral("BtnOK"));
    m_cancel->setObjectName(QStringLiteral("BtnAbbrechen"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_switch);
    layout->addStretch();
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TOptionenForm::loadFrom(const Settings& settings)
{
    m_switch->setChecked(settings.changeColourAfterRun());
}

void TOptionenForm::storeTo(const Settings& settings) const
{
    settings.setChangeColourAfterRun(m_switch->isChecked());
}

} // namespace velumo
