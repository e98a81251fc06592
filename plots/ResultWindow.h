#pragma once
// Common behaviour of the windows beside the main window: they live for the
// whole program, closing one only minimises it, and the resizable ones snap
// their outer size to multiples of 20 pixels.

#include <QImage>
#include <QWidget>

#include <functional>

#include "Windows.h"

namespace velumo {

// Shows an image at its logical size from the top-left corner, unscaled, like
// a bitmap that is not stretched: after a resize the old picture stays as it
// was until it is drawn again.
class ImageView : public QWidget {
    Q_OBJECT
public:
    explicit ImageView(QWidget* parent = nullptr);

    QImage& image() { return m_image; }
    const QImage& image() const { return m_image; }

    // Replaces the image by one of the view's current logical size at the
    // screen's pixel ratio (sharp lines on high-density screens, same
    // logical geometry), filled with the colour.
    QImage& resetImage(const QColor& fill);
    // The same with a logical size of its own (at least 1 × 1).
    QImage& resetImage(QSize logicalSize, const QColor& fill);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
};

class ResultWindow : public QWidget {
    Q_OBJECT
public:
    // minimumOuter: smallest outer size (frame included) of a resizable
    // window; an empty size leaves the minimum alone.
    // Caption and place come from the window table.
    ResultWindow(WindowId id, QSize clientSize, bool snapsToTwenty, QSize minimumOuter = QSize(),
        QWidget* parent = nullptr);

    // Where the window opens and how.
    const WindowSpec& placement() const { return windowSpec(m_id); }
    WindowId id() const { return m_id; }

    // Asked on every resize: only when results exist is the content redrawn.
    void setResultsExist(std::function<bool()> resultsExist) { m_resultsExist = std::move(resultsExist); }
    bool resultsExist() const { return m_resultsExist && m_resultsExist(); }

    // The outer frame the window has when shown normally: its present one,
    // or, while it is minimised, the one it gets back.
    QRect normalFrame() const;
    // Gives the window this outer frame (fixed-size windows keep their size).
    // A minimised window stays minimised and takes the frame when it is
    // restored: an X11 window manager restores a window that is moved.
    void setNormalFrame(const QRect& frame);
    // The outer size the window opens with: its client in this desktop's
    // frame, snapped by the resize rule where the window snaps.
    QSize openingOuterSize() const;
    // Restores the window to its normal frame and raises it.
    void showNormalPlaced();
    // The program ends: the window closes instead of minimising.
    void closeForGood();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

    // Places the children for the current client size (anchored margins).
    virtual void layoutChildren() { }
    // Runs after a resize when results exist.
    virtual void redrawAfterResize() { }

private:
    void applyMinimumOuter();
    void applyFrame(QRect frame);
    void rememberFrame();
    bool shownNormally() const;
    // Applies the resize rule to the outer size; true when it resized.
    bool snapOuterSize();

    bool m_snaps;
    QSize m_minimumOuter;
    int m_resizeEvents = 0;
    WindowId m_id;
    std::function<bool()> m_resultsExist;
    QRect m_normalFrame;
    QMargins m_knownMargins;
    bool m_framePending = false;
    bool m_placing = false;
    bool m_ending = false;
};

} // namespace velumo
