#include "WindowPlacement.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace velumo {

namespace {

constexpr int kFramePollMs = 20;
constexpr int kFramePolls = 50;

// Only X11 frames a window asynchronously; other platforms either know
// their frame when the window is created or place windows themselves.
bool framesArriveLater() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

} // namespace

QMargins frameMarginsOf(const QWidget* window)
{
    const QWindow* handle = window->windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

QMargins expectedFrameMargins(const QWidget* window)
{
    QMargins margins = frameMarginsOf(window);
    if (!margins.isNull())
        return margins;
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        margins = other->isVisible() ? frameMarginsOf(other) : QMargins();
        if (!margins.isNull())
            return margins;
    }
    return margins;
}

QRect outerFrame(const QWidget* window)
{
    // The native window knows its frame before the widget does; the widget's
    // own frame geometry can be stale or empty meanwhile.
    const QMargins own = frameMarginsOf(window);
    if (!own.isNull())
        return QRect(
            window->geometry().topLeft() - QPoint(own.left(), own.top()), window->size().grownBy(own));
    const QMargins expected = expectedFrameMargins(window);
    return QRect(window->frameGeometry().topLeft(), window->size().grownBy(expected));
}

QRect availableArea(QPoint point)
{
    const QScreen* screen = QGuiApplication::screenAt(point);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(point, QSize(1, 1));
}

QPoint fitFrame(const QRect& frame, const QRect& area)
{
    auto fit = [](int start, int length, int areaStart, int areaLength) {
        return std::max(areaStart, std::min(start, areaStart + areaLength - length));
    };
    return { fit(frame.left(), frame.width(), area.left(), area.width()),
        fit(frame.top(), frame.height(), area.top(), area.height()) };
}

QRect placeFrame(QWidget* window, QPoint topLeft, QSize clientSize)
{
    const QMargins own = frameMarginsOf(window);
    const QSize outer = clientSize.grownBy(own.isNull() ? expectedFrameMargins(window) : own);
    const QPoint at = fitFrame(QRect(topLeft, outer), availableArea(topLeft));
    QWindow* handle = window->windowHandle();
    if (!handle) {
        // Before the window exists Qt takes a position as the frame's.
        window->resize(clientSize);
        window->move(at);
    } else if (!own.isNull()) {
        // One request for the client area inside the known frame: a move
        // and a resize apart could reach the window manager in either order.
        window->setGeometry(QRect(at + QPoint(own.left(), own.top()), clientSize));
    } else {
        window->resize(clientSize);
        handle->setFramePosition(at);
    }
    return QRect(at, outer);
}

void whenFramed(QWidget* window, std::function<void()> then)
{
    if (!framesArriveLater()) {
        then();
        return;
    }
    auto* timer = new QTimer(window);
    timer->setInterval(kFramePollMs);
    QObject::connect(
        timer, &QTimer::timeout, window, [window, timer, then = std::move(then), polls = 0]() mutable {
            if (frameMarginsOf(window).isNull() && ++polls < kFramePolls)
                return;
            timer->deleteLater();
            timer->stop();
            then();
        });
    timer->start();
}

} // namespace velumo
