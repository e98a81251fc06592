#pragma once
// "Prinzipskizze": the window that holds the horn sketch. The sketch itself
// is painted by the sketch code into image() of `Im1`; this shell gives it
// the window, the resize rule and the redraw hook.

#include <functional>

#include "ResultWindow.h"

namespace velumo {

class Design;
class MessageSink;
class ResultSlots;
struct RunInput;

class TSkizzeForm : public ResultWindow {
    Q_OBJECT
public:
    explicit TSkizzeForm(QWidget* parent = nullptr);

    // The picture `Im1`; resetImage() sizes it to the view before drawing,
    // update() shows what was drawn.
    ImageView* Im1() const { return m_image; }
    QImage& image() { return m_image->image(); }
    // Empties `Im1` to a white picture of the sketch size for the present
    // client size (the size the report's sketch has, too) and returns it.
    QImage& resetPicture();

    // DrawSketch, run after a resize when results exist.
    void setRedrawSketch(std::function<void()> redrawSketch) { m_redrawSketch = std::move(redrawSketch); }

protected:
    void layoutChildren() override;
    void redrawAfterResize() override;

private:
    ImageView* m_image = nullptr;
    std::function<void()> m_redrawSketch;
};

// DrawSketch: the sketch of the last run (its inputs, and the contour of the
// slot it wrote) into the window's picture; its notes go to `notes`.
void drawRunSketch(TSkizzeForm& window, const RunInput& lastRun, const ResultSlots& results,
    const Design& design, MessageSink& notes);

} // namespace velumo
