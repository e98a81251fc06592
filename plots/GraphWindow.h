#pragma once
// The seven graph windows. TSPLForm defines the layout (plot image, six value
// labels on the left, the frequency-label strip and the axis caption below);
// the impedance, excursion, Pmax, SPLmax and normalised-impedance windows are
// TSPLForm with another caption and initial state; the phase window has the
// same layout with five value labels.

#include <QLabel>

#include <functional>
#include <string>
#include <vector>

#include "AxisScale.h"
#include "ResultWindow.h"

namespace velumo {

class GraphWindow : public ResultWindow {
    Q_OBJECT
public:
    WindowId kind() const { return id(); }

    // Plot image `Image1`, frequency-label strip `xAxis`, axis caption `Label18`.
    ImageView* plotView() const { return m_image; }
    ImageView* axisStrip() const { return m_strip; }
    QLabel* axisCaption() const { return m_caption; }

    // Value label `Label1`..`Label6` by index 0..5 (0 = bottom, the minimum).
    QLabel* valueLabel(int index) const { return m_labels.at(static_cast<size_t>(index)); }
    int valueLabelCount() const { return static_cast<int>(m_labels.size()); }
    void setValueLabelTexts(const std::vector<std::string>& texts);

    // Puts each label's centre on the grid line of its value: label k gets
    // top = trunc(T − H · step · (k − 1)), T the top of Label1, H the plot height.
    void placeValueLabels();

    // Horizontal distance from the strip's left edge to the plot's left edge.
    int labelStripOffset() const;

    // Redraw of every graph window, run after a resize when results exist.
    void setRedrawAll(std::function<void()> redrawAll) { m_redrawAll = std::move(redrawAll); }

protected:
    GraphWindow(WindowId kind, QWidget* parent);

    void layoutChildren() override;
    void redrawAfterResize() override;

private:
    ImageView* m_image = nullptr;
    ImageView* m_strip = nullptr;
    QLabel* m_caption = nullptr;
    std::vector<QLabel*> m_labels;
    std::function<void()> m_redrawAll;
};

class TSPLForm : public GraphWindow {
    Q_OBJECT
public:
    explicit TSPLForm(QWidget* parent = nullptr);

protected:
    TSPLForm(WindowId kind, QWidget* parent);
};

class TZelForm : public TSPLForm {
    Q_OBJECT
public:
    explicit TZelForm(QWidget* parent = nullptr);
};

class TAuslForm : public TSPLForm {
    Q_OBJECT
public:
    explicit TAuslForm(QWidget* parent = nullptr);
};

class TPmaxForm : public TSPLForm {
    Q_OBJECT
public:
    explicit TPmaxForm(QWidget* parent = nullptr);
};

class TSPLmaxForm : public TSPLForm {
    Q_OBJECT
public:
    explicit TSPLmaxForm(QWidget* parent = nullptr);
};

class TZnormForm : public TSPLForm {
    Q_OBJECT
public:
    explicit TZnormForm(QWidget* parent = nullptr);
};

class TPhiaForm : public GraphWindow {
    Q_OBJECT
public:
    explicit TPhiaForm(QWidget* parent = nullptr);
};

} // namespace velumo
