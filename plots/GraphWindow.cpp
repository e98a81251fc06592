#include "GraphWindow.h"

#include <QFont>

#include <cmath>

namespace velumo {

namespace {

// Layout in client coordinates of the initial 412 × 233 client area; the
// margins kept on resize follow from it.
constexpr QSize kClient(412, 233);
constexpr QRect kImage(48, 10, 349, 175);
constexpr QRect kStrip(40, 196, 374, 13);
constexpr QRect kCaption(172, 212, 99, 16);
constexpr int kLabelLeft = 5;
constexpr QSize kLabelSize(32, 13);
// Label1 sits centred on the bottom edge of the plot.
constexpr int kLabel1Top = kImage.y() + kImage.height() - kLabelSize.height() / 2;

QFont graphFont()
{
    QFont font;
    font.setFamily(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(13);
    return font;
}

std::vector<std::string> initialLabels(WindowId kind)
{
    if (kind == WindowId::Phia)
        return { "-180", "-90", "0", "90", "180" };
    return { "60", "70", "80", "90", "100", "110" };
}

} // namespace

GraphWindow::GraphWindow(WindowId kind, QWidget* parent)
    : ResultWindow(kind, kClient, true, QSize(300, 200), parent)
{
    setFont(graphFont());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
        | Qt::WindowCloseButtonHint);

    m_image = new ImageView(this);
    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->setGeometry(kImage);
    m_strip = new ImageView(this);
    m_strip->setObjectName(QStringLiteral("xAxis"));
    m_strip->setGeometry(kStrip);
    m_caption = new QLabel(QStringLiteral("Frequenz [Hz]"), this);
    m_caption->setObjectName(QStringLiteral("Label18"));
    m_caption->setAlignment(Qt::AlignCenter);
    m_caption->setGeometry(kCaption);

    const auto texts = initialLabels(kind);
    for (int k = 0; k < velumo::valueLabelCount(kind); ++k) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("Label%1").arg(k + 1));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setText(QString::fromStdString(texts[static_cast<size_t>(k)]));
        label->setGeometry(QRect(QPoint(kLabelLeft, kLabel1Top), kLabelSize));
        m_labels.push_back(label);
    }
    placeValueLabels();
    resize(kClient);
}

void GraphWindow::setValueLabelTexts(const std::vector<std::string>& texts)
{
    for (size_t k = 0; k < m_labels.size() && k < texts.size(); ++k)
        m_labels[k]->setText(QString::fromStdString(texts[k]));
}

void GraphWindow::placeValueLabels()
{
    const double step = kind() == WindowId::Phia ? 0.25 : 0.2;
    const int h = m_image->height();
    const int t = m_labels.front()->y();
    for (size_t k = 1; k < m_labels.size(); ++k) {
        const int top = static_cast<int>(std::trunc(t - h * step * static_cast<double>(k)));
        m_labels[k]->move(kLabelLeft, top);
    }
}

int GraphWindow::labelStripOffset() const { return m_image->x() - m_strip->x(); }

void GraphWindow::layoutChildren()
{
    if (!m_image)
        return;
    const int w = width();
    const int h = height();
    m_image->setGeometry(kImage.x(), kImage.y(), w - kImage.x() - (kClient.width() - kImage.right() - 1),
        h - kImage.y() - (kClient.height() - kImage.bottom() - 1));
    m_strip->setGeometry(kStrip.x(), h - (kClient.height() - kStrip.y()),
        w - kStrip.x() - (kClient.width() - kStrip.right() - 1), kStrip.height());
    m_caption->move(kCaption.x(), h - (kClient.height() - kCaption.y()));
    m_labels.front()->move(kLabelLeft, h - (kClient.height() - kLabel1Top));
}

void GraphWindow::redrawAfterResize()
{
    if (m_redrawAll)
        m_redrawAll();
    placeValueLabels();
}

TSPLForm::TSPLForm(QWidget* parent)
    : TSPLForm(WindowId::Spl, parent)
{
}

TSPLForm::TSPLForm(WindowId kind, QWidget* parent)
    : GraphWindow(kind, parent)
{
}

TZelForm::TZelForm(QWidget* parent)
    : TSPLForm(WindowId::Zel, parent)
{
}

TAuslForm::TAuslForm(QWidget* parent)
    : TSPLForm(WindowId::Ausl, parent)
{
}

TPmaxForm::TPmaxForm(QWidget* parent)
    : TSPLForm(WindowId::Pmax, parent)
{
}

TSPLmaxForm::TSPLmaxForm(QWidget* parent)
    : TSPLForm(WindowId::SplMax, parent)
{
}

TZnormForm::TZnormForm(QWidget* parent)
    : TSPLForm(WindowId::Znorm, parent)
{
}

TPhiaForm::TPhiaForm(QWidget* parent)
    : GraphWindow(WindowId::Phia, parent)
{
}

} // namespace velumo
