#include "GraphDrawing.h"

#include <QFont>
#include <QFontMetrics>

#include <cmath>

#include "GraphWindow.h"

namespace velumo {

namespace {

QFont labelFont()
{
    QFont font;
    font.setFamily(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(13);
    return font;
}

const std::array<double, kSlotPoints>& valuesOf(WindowId graph, const ResultSlot& slot, bool driver2)
{
    switch (graph) {
    case WindowId::Spl:
        return slot.spl;
    case WindowId::Zel:
        return slot.zel;
    case WindowId::Ausl:
        return driver2 ? slot.x2 : slot.x1;
    case WindowId::Pmax:
        return driver2 ? slot.pmax2 : slot.pmax1;
    case WindowId::SplMax:
        return slot.splMax;
    case WindowId::Phia:
        return slot.phase;
    case WindowId::Znorm:
        return slot.zReal;
    case WindowId::Sketch:
    case WindowId::Param:
        break; // no curves
    }
    return slot.spl;
}

// Maps points of one value array of a slot into the plot; a point whose
// numbers are not finite breaks the line instead of drawing to nowhere.
class PointMapper {
public:
    PointMapper(QSize size, WindowId graph, const ResultSlot& slot, const AxisLimits& limits)
        : m_size(size)
        , m_graph(graph)
        , m_slot(slot)
        , m_f(frequencyAxis(limits))
    {
        const int row = axisRow(graph);
        if (row >= 0)
            m_v = limits[static_cast<size_t>(row)];
    }

    bool map(const std::array<double, kSlotPoints>& values, int i, QPoint* point) const
    {
        const double f = m_slot.frequency[static_cast<size_t>(i)];
        const double v = values[static_cast<size_t>(i)];
        if (!std::isfinite(f) || !(f > 0.0) || !std::isfinite(v))
            return false;
        const int x = mapX(f, m_f.minimum, m_f.maximum, m_size.width());
        const int y = m_graph == WindowId::Phia ? mapPhaseY(v, m_size.height())
                                                : mapY(v, m_v.minimum, m_v.maximum, m_size.height());
        *point = QPoint(x, y);
        return true;
    }

    void segment(QPainter& painter, const std::array<double, kSlotPoints>& values, int i) const
    {
        QPoint a;
        QPoint b;
        if (map(values, i - 1, &a) && map(values, i, &b))
            painter.drawLine(a, b);
    }

private:
    QSize m_size;
    WindowId m_graph;
    const ResultSlot& m_slot;
    AxisPair m_f;
    AxisPair m_v;
};

} // namespace

void paintGrid(QPainter& painter, QSize size, double fmin, double fmax, int divisions)
{
    const int w = size.width();
    const int h = size.height();
    painter.fillRect(QRect(0, 0, w, h), Qt::white);
    painter.setPen(QPen(gridColour(), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(0, 0, w - 1, h - 1));
    for (int i = 1; i < divisions; ++i) {
        const int y = gridLineY(h, i, divisions);
        painter.drawLine(0, y, w, y);
    }
    for (const FrequencyGridLine& line : frequencyGridLines(fmin, fmax, w))
        painter.drawLine(line.x, 0, line.x, h);
}

void paintFrequencyLabels(QPainter& painter, int plotWidth, int offset, double fmin, double fmax)
{
    painter.setFont(labelFont());
    painter.setPen(Qt::black);
    const QFontMetrics metrics(painter.font());
    const int baseline = metrics.ascent();
    auto put = [&](int left, const QString& text) { painter.drawText(QPoint(left, baseline), text); };
    for (const FrequencyGridLine& line : frequencyGridLines(fmin, fmax, plotWidth)) {
        if (!line.labelled)
            continue;
        const QString text = QString::fromStdString(FormatFrequencyLabel(line.value));
        put(frequencyLabelLeft(line.value, fmin, fmax, plotWidth, offset, metrics.horizontalAdvance(text)),
            text);
    }
    if (!(fmin > 0.0) || !(fmax > fmin))
        return;
    const QString low = QString::fromStdString(FormatFrequencyLabel(fmin));
    const QString high = QString::fromStdString(FormatFrequencyLabel(fmax));
    put(offset - metrics.horizontalAdvance(low) / 2, low);
    put(offset + plotWidth - metrics.horizontalAdvance(high) / 2, high);
}

void paintSlotCurves(QPainter& painter, QSize size, WindowId graph, const ResultSlot& slot,
    const AxisLimits& limits, bool driver2, const QPen& pen)
{
    painter.setPen(pen);
    const PointMapper mapper(size, graph, slot, limits);
    const auto& values = valuesOf(graph, slot, driver2);
    const int last = lastDrawnPoint(slot);
    for (int i = 1; i <= last; ++i) {
        mapper.segment(painter, values, i);
        if (graph == WindowId::Znorm && i % 2 == 0)
            mapper.segment(painter, slot.zImag, i);
    }
}

void paintMeasuredCurve(
    QPainter& painter, QSize size, WindowId graph, const MeasuredCurve& curve, const AxisLimits& limits)
{
    const bool phase = graph == WindowId::Phia;
    if (phase && !curve.hasPhase)
        return;
    const AxisPair f = frequencyAxis(limits);
    const int row = axisRow(graph);
    if (!phase && row < 0)
        return;
    const AxisPair v = phase ? AxisPair {} : limits[static_cast<size_t>(row)];
    QPen pen(measurementColour(), 2, Qt::CustomDashLine, Qt::FlatCap, Qt::RoundJoin);
    pen.setDashPattern({ 3.0, 2.0 });
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    // Drawn as whole polylines, so the dashes run on along the curve.
    QPolygon run;
    auto flush = [&] {
        if (run.size() > 1)
            painter.drawPolyline(run);
        run.clear();
    };
    double previous = 0.0;
    for (size_t i = 0; i < curve.frequency.size(); ++i) {
        double value = phase ? -curve.phase[i] : curve.value[i];
        if (phase) {
            value = std::remainder(value, 360.0);
            if (!run.isEmpty() && std::fabs(value - previous) > 180.0)
                flush();
            previous = value;
        }
        if (!std::isfinite(value)) {
            flush();
            continue;
        }
        const int x = mapX(curve.frequency[i], f.minimum, f.maximum, size.width());
        const int y
            = phase ? mapPhaseY(value, size.height()) : mapY(value, v.minimum, v.maximum, size.height());
        run.append(QPoint(x, y));
    }
    flush();
}

void DrawGrid(GraphWindow& window, double fmin, double fmax, int divisions)
{
    ImageView* plot = window.plotView();
    ImageView* strip = window.axisStrip();
    {
        QPainter painter(&plot->resetImage(Qt::white));
        paintGrid(painter, plot->size(), fmin, fmax, divisions);
    }
    // The strip is transparent: the window background shows through it.
    QPainter painter(&strip->resetImage(Qt::transparent));
    paintFrequencyLabels(painter, plot->width(), window.labelStripOffset(), fmin, fmax);
    // The value labels go with the grid lines just drawn, however the
    // window's size changed since they were last placed.
    window.placeValueLabels();
}

} // namespace velumo
