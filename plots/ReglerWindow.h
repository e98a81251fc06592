#pragma once
// The "Regler" window: up to six sliders, each over a range of one numeric
// input of the design. Moving a slider hands the new text to the owner, which
// writes it into the input box as typing would; both ends of each range are
// editable, and the value stands beside the slider.

#include <QWidget>

#include <array>
#include <string>
#include <vector>

#include "Design.h"
#include "SliderSection.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QSlider;

namespace velumo {

// Positions of a slider: 0 is the range's lower end, kSliderSteps its upper.
inline constexpr int kSliderSteps = 1000;

// The numeric inputs a slider can take: the edit boxes with a unit, in the
// order of the design table.
std::vector<const ControlSpec*> sliderInputs();
// "Rdc [Ω] (Treiber1)": how the list of inputs names one.
QString sliderCaption(const ControlSpec& control);

// The default range for an input now at `value`: half of it either way; a
// zero value gets 0 to 1.
SliderSetting defaultSlider(std::string control, double value);
double sliderValue(const SliderSetting& s, int position);
// The nearest position, clamped to the range.
int sliderPosition(const SliderSetting& s, double value);
// The value as the box receives it: as many decimals as one step of the
// range needs, without trailing zeros.
QString sliderText(const SliderSetting& s, double value);

class TReglerForm : public QWidget {
    Q_OBJECT
public:
    explicit TReglerForm(const Design& design, QWidget* parent = nullptr);

    void setSliders(const std::vector<SliderSetting>& sliders);
    std::vector<SliderSetting> sliders() const;
    // Sets the slider positions and values from the design.
    void refreshFromDesign();

    QComboBox* chooser(int row) const { return m_rows.at(static_cast<size_t>(row)).chooser; }
    QSlider* slider(int row) const { return m_rows.at(static_cast<size_t>(row)).slider; }
    QLineEdit* minBox(int row) const { return m_rows.at(static_cast<size_t>(row)).min; }
    QLineEdit* maxBox(int row) const { return m_rows.at(static_cast<size_t>(row)).max; }
    QLabel* valueLabel(int row) const { return m_rows.at(static_cast<size_t>(row)).value; }

signals:
    // A slider moved: `text` belongs into the box `control`.
    void valueMoved(const std::string& control, const QString& text);
    // A drag ended, or a step by key or wheel was made.
    void moveFinished();
    // The chosen inputs or a range changed.
    void slidersChanged();

private:
    struct Row {
        QComboBox* chooser = nullptr;
        QLineEdit* min = nullptr;
        QSlider* slider = nullptr;
        QLineEdit* max = nullptr;
        QLabel* value = nullptr;
        SliderSetting setting;
    };
    void buildRow(int row);
    void choose(int row, int item);
    void rangeEdited(int row);
    void moved(int row, int position);
    void showRow(int row);

    const Design& m_design;
    std::array<Row, kMaxSliders> m_rows;
    std::vector<const ControlSpec*> m_inputs;
    bool m_refreshing = false;
};

} // namespace velumo
