#include "GraphSet.h"

#include <QPainter>

#include <algorithm>

#include "GraphDrawing.h"
#include "NumberText.h"

namespace velumo {

bool curvePenWidth(const Design& design, int* width)
{
    return parseStrictInt(design.optionCell(1, 2), width);
}

GraphSet::GraphSet()
{
    m_ausl = add(new TAuslForm);
    m_pmax = add(new TPmaxForm);
    m_zel = add(new TZelForm);
    m_znorm = add(new TZnormForm);
    m_spl = add(new TSPLForm);
    m_splMax = add(new TSPLmaxForm);
    m_phia = add(new TPhiaForm);
    for (auto& pair : m_limits)
        pair = AxisPair {};
    m_limits[kAxisFrequency] = { kAutoFrequencyMin, kAutoFrequencyMax };
}

GraphSet::~GraphSet()
{
    for (GraphWindow* w : m_windows)
        delete w;
}

template <typename T> T* GraphSet::add(T* window)
{
    m_windows.push_back(window);
    return window;
}

GraphWindow& GraphSet::window(WindowId graph)
{
    for (GraphWindow* w : m_windows)
        if (w->kind() == graph)
            return *w;
    return *m_spl;
}

void GraphSet::setRedrawHooks(std::function<bool()> resultsExist, std::function<void()> redrawAll)
{
    for (GraphWindow* w : m_windows) {
        w->setResultsExist(resultsExist);
        w->setRedrawAll(redrawAll);
    }
}

void GraphSet::AchsenBeschriften(Design& design, const ResultSlots& results)
{
    m_limits = computeAxisLimits(design, results.all(), results.curveSlot());
    for (GraphWindow* w : m_windows)
        w->setValueLabelTexts(valueLabelTexts(w->kind(), m_limits));
}

void GraphSet::setMeasurement(MeasurementKind kind, std::optional<MeasuredCurve> curve)
{
    (kind == MeasurementKind::Frd ? m_frd : m_zma) = std::move(curve);
}

const std::optional<MeasuredCurve>& GraphSet::measurement(MeasurementKind kind) const
{
    return kind == MeasurementKind::Frd ? m_frd : m_zma;
}

void GraphSet::NewGrids()
{
    const AxisPair f = frequencyAxis(m_limits);
    for (GraphWindow* w : m_windows) {
        DrawGrid(*w, f.minimum, f.maximum, gridDivisions(w->kind()));
        const WindowId graph = w->kind();
        const MeasuredCurve* curve = nullptr;
        if (graph == WindowId::Zel && m_zma)
            curve = &*m_zma;
        else if ((graph == WindowId::Spl || graph == WindowId::Phia) && m_frd)
            curve = &*m_frd;
        if (curve) {
            ImageView* view = w->plotView();
            QPainter painter(&view->image());
            paintMeasuredCurve(painter, view->size(), graph, *curve, m_limits);
        }
    }
}

bool GraphSet::DrawGraphs(Design& design, const ResultSlots& results)
{
    AchsenBeschriften(design, results);
    NewGrids();
    if (m_progress)
        m_progress(100);
    int penWidth = 1;
    const bool widthOk = curvePenWidth(design, &penWidth);
    if (widthOk) {
        // A width beyond any sensible line only costs painting time.
        penWidth = std::clamp(penWidth, 0, 100);
        const bool ampl2 = design.checked("CBAmplTreiber2");
        const bool pmax2 = design.checked("CBPmaxTreiber2");
        for (int s = kSlotCount - 1; s >= 0; --s) {
            const ResultSlot& slot = results.slot(s);
            if (!slot.isFilled())
                continue;
            QPen pen(SlotColour(s), penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
            for (GraphWindow* w : m_windows) {
                ImageView* view = w->plotView();
                QPainter painter(&view->image());
                const bool driver2
                    = (w->kind() == WindowId::Ausl && ampl2) || (w->kind() == WindowId::Pmax && pmax2);
                paintSlotCurves(painter, view->size(), w->kind(), slot, m_limits, driver2, pen);
            }
        }
        if (results.anyFilled()) {
            m_ausl->setWindowTitle(
                ampl2 ? QStringLiteral("Membranamplitude2 [mm]") : QStringLiteral("Membranamplitude1 [mm]"));
            m_pmax->setWindowTitle(pmax2 ? QStringLiteral("Pmax2 [W]") : QStringLiteral("Pmax1 [W]"));
        }
    }
    for (GraphWindow* w : m_windows)
        w->plotView()->update();
    if (m_progress)
        m_progress(0);
    return widthOk;
}

} // namespace velumo
