#pragma once
// Where the program's top-level windows go on the desktop. A position is the
// top-left corner of the window's outer frame (title bar included), as the
// project file stores it. An X11 window manager frames a window only some
// time after it is shown; until then Qt knows no frame, so positions are
// handed over as frame positions and never derived from the client area.

#include <QMargins>
#include <QPoint>
#include <QRect>

#include <functional>

class QWidget;

namespace velumo {

// Pixels between windows placed side by side.
constexpr int kWindowGap = 2;

// The frame's thickness per side; null while the desktop has not framed the
// window (or draws no frames).
QMargins frameMarginsOf(const QWidget* window);

// The frame the window has or, before it is framed, the one another framed
// window of the program has (the desktop draws them alike).
QMargins expectedFrameMargins(const QWidget* window);

// The outer frame of a top-level window as the desktop shows it (or will).
QRect outerFrame(const QWidget* window);

// The usable area (without panels) of the screen that holds `point`; the
// primary screen's when no screen holds it (a monitor was removed).
QRect availableArea(QPoint point);

// The top-left corner that puts `frame` inside `area` where it fits; a frame
// larger than the area starts at the area's top-left, so that its title bar
// can always be grabbed.
QPoint fitFrame(const QRect& frame, const QRect& area);

// Gives a window the client size and moves it so that its outer frame starts
// at `topLeft`, or as near to it as keeps the frame on the screen. Works
// before and after the window is shown and framed. Returns the outer frame.
QRect placeFrame(QWidget* window, QPoint topLeft, QSize clientSize);

// Runs `then` once the desktop has framed the shown window: at once where
// frames are known immediately (offscreen), on X11 from the event loop once
// the window manager has reported the frame (or after a second without one).
void whenFramed(QWidget* window, std::function<void()> then);

} // namespace velumo
