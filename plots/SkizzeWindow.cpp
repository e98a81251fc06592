#include "SkizzeWindow.h"

#include "ResultSlots.h"
#include "RunSetup.h"
#include "SketchGeometry.h"
#include "SketchPainter.h"

namespace velumo {

namespace {

constexpr QSize kClient(412, 233);
constexpr QRect kImage(5, 5, 405, 225);

} // namespace

TSkizzeForm::TSkizzeForm(QWidget* parent)
    : ResultWindow(WindowId::Sketch, kClient, true, QSize(50, 50), parent)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
    m_image = new ImageView(this);
    m_image->setObjectName(QStringLiteral("Im1"));
    m_image->setGeometry(kImage);
}

QImage& TSkizzeForm::resetPicture() { return m_image->resetImage(sketchPictureSize(size()), Qt::white); }

void TSkizzeForm::layoutChildren()
{
    if (!m_image)
        return;
    // The picture keeps its margins to all four edges.
    m_image->resize(width() - kImage.x() - (kClient.width() - kImage.right() - 1),
        height() - kImage.y() - (kClient.height() - kImage.bottom() - 1));
}

void TSkizzeForm::redrawAfterResize()
{
    if (m_redrawSketch)
        m_redrawSketch();
}

void drawRunSketch(TSkizzeForm& window, const RunInput& lastRun, const ResultSlots& results,
    const Design& design, MessageSink& notes)
{
    // The sketch needs the run-wide model of the last run; preparing it again
    // is cheap and its messages were already shown by the run.
    const Model model = prepareRun(lastRun);
    const SketchInput input
        = sketchInputFrom(model, results.slot(results.lastWrittenSlot()).contourA, design);
    drawSketch(window.resetPicture(), input, notes);
    window.Im1()->update();
}

} // namespace velumo
