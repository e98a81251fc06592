#include "ResultWindow.h"

#include <QCloseEvent>
#include <QPainter>

#include "AxisScale.h"

namespace velumo {

ImageView::ImageView(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

QImage& ImageView::resetImage(const QColor& fill)
{
    const qreal dpr = devicePixelRatioF();
    const QSize device(qMax(1, qRound(width() * dpr)), qMax(1, qRound(height() * dpr)));
    m_image = QImage(device, QImage::Format_ARGB32_Premultiplied);
    m_image.setDevicePixelRatio(dpr);
    m_image.fill(fill);
    update();
    return m_image;
}

void ImageView::paintEvent(QPaintEvent*)
{
    if (m_image.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), m_image);
}

ResultWindow::ResultWindow(const QString& caption, QSize clientSize, bool snapsToTwenty,
    const WindowPlacement& placement, QSize minimumOuter, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_snaps(snapsToTwenty)
    , m_minimumOuter(minimumOuter)
    , m_placement(placement)
{
    setWindowTitle(caption);
    // Closing the main window ends the program even while these windows
    // are still open (they only minimise on close).
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(clientSize);
    move(placement.left, placement.top);
    applyMinimumOuter();
}

void ResultWindow::applyMinimumOuter()
{
    if (m_minimumOuter.isEmpty())
        return;
    // The frame is known only once the window is shown; until then the
    // client minimum equals the outer one.
    const QSize frame = frameGeometry().size() - size();
    const QSize minimum = (m_minimumOuter - frame).expandedTo(QSize(1, 1));
    if (minimumSize() != minimum)
        setMinimumSize(minimum);
}

void ResultWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    showMinimized();
}

void ResultWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    applyMinimumOuter();
}

void ResultWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ++m_resizeEvents;
    applyMinimumOuter();
    layoutChildren();
    // A hidden window has no frame yet to measure its outer size by, and a
    // maximised one keeps the size the system gave it.
    const bool free = isVisible() && !(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen));
    if (m_snaps && free) {
        const QSize outer = frameGeometry().size();
        const QSize snapped(snapToTwenty(outer.width()), snapToTwenty(outer.height()));
        if (snapped != outer) {
            const int before = m_resizeEvents;
            resize(size() + (snapped - outer));
            // Where the platform delivers the new size at once, its own
            // event has already redrawn; otherwise redraw now and again
            // when the size arrives.
            if (m_resizeEvents != before)
                return;
        }
    }
    if (resultsExist())
        redrawAfterResize();
}

} // namespace velumo
