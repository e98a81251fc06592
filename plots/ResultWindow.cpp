#include "ResultWindow.h"

#include <QCloseEvent>
#include <QPainter>

#include "AxisScale.h"
#include "ScopeGuards.h"
#include "WindowPlacement.h"

namespace velumo {

ImageView::ImageView(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

QImage& ImageView::resetImage(const QColor& fill) { return resetImage(size(), fill); }

QImage& ImageView::resetImage(QSize logicalSize, const QColor& fill)
{
    const qreal dpr = devicePixelRatioF();
    const QSize device(
        qMax(1, qRound(logicalSize.width() * dpr)), qMax(1, qRound(logicalSize.height() * dpr)));
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

ResultWindow::ResultWindow(
    WindowId id, QSize clientSize, bool snapsToTwenty, QSize minimumOuter, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_snaps(snapsToTwenty)
    , m_minimumOuter(minimumOuter)
    , m_id(id)
{
    const std::string_view caption = placement().caption;
    setWindowTitle(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
    // Closing the main window ends the program even while these windows
    // are still open (they only minimise on close).
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(clientSize);
    move(placement().left, placement().top);
    applyMinimumOuter();
}

void ResultWindow::applyMinimumOuter()
{
    if (m_minimumOuter.isEmpty())
        return;
    // The frame is known only once the window is shown; until then the
    // client minimum equals the outer one.
    const QSize frame = outerFrame(this).size() - size();
    const QSize minimum = (m_minimumOuter - frame).expandedTo(QSize(1, 1));
    if (minimumSize() != minimum)
        setMinimumSize(minimum);
}

void ResultWindow::closeEvent(QCloseEvent* event)
{
    if (m_ending) {
        QWidget::closeEvent(event);
        return;
    }
    event->ignore();
    showMinimized();
}

void ResultWindow::closeForGood()
{
    m_ending = true;
    close();
}

bool ResultWindow::shownNormally() const
{
    return isVisible()
        && !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

QRect ResultWindow::normalFrame() const
{
    if ((shownNormally() && !m_framePending) || m_normalFrame.isNull())
        return outerFrame(this);
    return m_normalFrame;
}

void ResultWindow::setNormalFrame(const QRect& frame)
{
    const bool keepsSize = frame.size().isEmpty() || minimumSize() == maximumSize();
    m_normalFrame = QRect(frame.topLeft(), keepsSize ? normalFrame().size() : frame.size());
    m_framePending = windowState() & (Qt::WindowMinimized | Qt::WindowMaximized);
    if (!m_framePending)
        applyFrame(m_normalFrame);
}

QSize ResultWindow::openingOuterSize() const
{
    const QSize outer = size().grownBy(expectedFrameMargins(this));
    return m_snaps ? QSize(snapToTwenty(outer.width()), snapToTwenty(outer.height())) : outer;
}

void ResultWindow::showNormalPlaced()
{
    showNormal();
    if (m_framePending) {
        m_framePending = false;
        applyFrame(m_normalFrame);
    }
    raise();
}

void ResultWindow::applyFrame(QRect frame)
{
    // The resize on the way reports frames that are not the one being applied.
    const FlagScope placing(m_placing);
    const bool fixedSize = minimumSize() == maximumSize();
    const QSize client = fixedSize ? size() : frame.size().shrunkBy(expectedFrameMargins(this));
    m_normalFrame = placeFrame(this, frame.topLeft(), client);
}

void ResultWindow::rememberFrame()
{
    if (shownNormally() && !m_framePending && !m_placing)
        m_normalFrame = outerFrame(this);
}

void ResultWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    // The window manager has framed the window (it moves the client into the
    // frame): only now is the outer size known that the resize rule snaps.
    const QMargins margins = frameMarginsOf(this);
    if (margins != m_knownMargins) {
        m_knownMargins = margins;
        applyMinimumOuter();
        snapOuterSize();
    }
    rememberFrame();
}

void ResultWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // Restored by the desktop (taskbar, window menu): to the frame it was given.
    if (event->type() == QEvent::WindowStateChange && m_framePending
        && !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))) {
        m_framePending = false;
        applyFrame(m_normalFrame);
    }
}

void ResultWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    applyMinimumOuter();
}

bool ResultWindow::snapOuterSize()
{
    // A hidden window has no frame yet to measure its outer size by, a
    // maximised one keeps the size the system gave it, and a minimised one
    // is not touched (an X11 window manager would restore it).
    if (!m_snaps || !shownNormally())
        return false;
    const QSize outer = outerFrame(this).size();
    const QSize snapped(snapToTwenty(outer.width()), snapToTwenty(outer.height()));
    if (snapped == outer)
        return false;
    resize(size() + (snapped - outer));
    return true;
}

void ResultWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ++m_resizeEvents;
    applyMinimumOuter();
    layoutChildren();
    rememberFrame();
    const int before = m_resizeEvents;
    // Where the platform delivers the new size at once, its own event has
    // already redrawn; otherwise redraw now and again when the size arrives.
    if (snapOuterSize() && m_resizeEvents != before)
        return;
    if (resultsExist())
        redrawAfterResize();
}

} // namespace velumo
