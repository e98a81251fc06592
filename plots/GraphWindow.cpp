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

constexpr WindowPlacement kSplPlacement { "SPL", 440, 60, false };
constexpr WindowPlacement kZelPlacement { "Zel", 480, 100, false };
constexpr WindowPlacement kAuslPlacement { "Ausl", 400, 20, true };
constexpr WindowPlacement kPmaxPlacement { "Pmax", 420, 40, true };
constexpr WindowPlacement kSplMaxPlacement { "SPLmax", 460, 80, true };
constexpr WindowPlacement kZnormPlacement { "Znorm", 500, 120, true };
constexpr WindowPlacement kPhiaPlacement { "Phia", 380, 0, true };

QFont graphFont()
{
    QFont font;
    font.setFamily(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(13);
    return font;
}

std::vector<std::string> initialLabels(GraphKind kind)
{
    if (kind == GraphKind::Phia)
        return { "-180", "-90", "0", "90", "180" };
    return { "60", "70", "80", "90", "100", "110" };
}

} // namespace

GraphWindow::GraphWindow(
    GraphKind kind, const QString& caption, const WindowPlacement& placement, QWidget* parent)
    : ResultWindow(caption, kClient, true, placement, QSize(300, 200), parent)
    , m_kind(kind)
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
    const double step = m_kind == GraphKind::Phia ? 0.25 : 0.2;
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
    : TSPLForm(GraphKind::Spl, QStringLiteral("SPL [dB]"), kSplPlacement, parent)
{
}

TSPLForm::TSPLForm(GraphKind kind, const QString& caption, const WindowPlacement& placement, QWidget* parent)
    : GraphWindow(kind, caption, placement, parent)
{
}

TZelForm::TZelForm(QWidget* parent)
    : TSPLForm(GraphKind::Zel, QStringLiteral("El. Impedanz [Ohm]"), kZelPlacement, parent)
{
}

TAuslForm::TAuslForm(QWidget* parent)
    : TSPLForm(GraphKind::Ausl, QStringLiteral("Membranamplitude [mm]"), kAuslPlacement, parent)
{
}

TPmaxForm::TPmaxForm(QWidget* parent)
    : TSPLForm(GraphKind::Pmax, QStringLiteral("Pmax [W]"), kPmaxPlacement, parent)
{
}

TSPLmaxForm::TSPLmaxForm(QWidget* parent)
    : TSPLForm(GraphKind::SplMax, QStringLiteral("SPLmax [dB]"), kSplMaxPlacement, parent)
{
}

TZnormForm::TZnormForm(QWidget* parent)
    : TSPLForm(GraphKind::Znorm, QStringLiteral("Akustische Impedanz der Membran"), kZnormPlacement, parent)
{
}

TPhiaForm::TPhiaForm(QWidget* parent)
    : GraphWindow(GraphKind::Phia, QStringLiteral("Akustische Phase [°]"), kPhiaPlacement, parent)
{
}

} // namespace velumo
