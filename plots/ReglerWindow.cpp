#include "ReglerWindow.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>

#include <cmath>

#include "NumberText.h"
#include "StrictNumber.h"

namespace velumo {

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Range ends as the user reads and types them.
QString endText(double v) { return QString::number(v, 'g', 10); }

} // namespace

std::vector<const ControlSpec*> sliderInputs()
{
    std::vector<const ControlSpec*> inputs;
    for (const ControlSpec& s : designTable())
        if (s.kind == ControlKind::Edit && !s.unit.empty())
            inputs.push_back(&s);
    return inputs;
}

QString sliderCaption(const ControlSpec& control)
{
    const std::string_view name = control.caption.empty() ? control.hint : control.caption;
    return QStringLiteral("%1 [%2] (%3)").arg(qs(name), qs(control.unit), qs(control.group));
}

SliderSetting defaultSlider(std::string control, double value)
{
    if (value == 0.0 || !std::isfinite(value))
        return { std::move(control), 0.0, 1.0 };
    const double half = std::fabs(value) / 2;
    return { std::move(control), value - half, value + half };
}

double sliderValue(const SliderSetting& s, int position)
{
    return s.min + (s.max - s.min) * position / kSliderSteps;
}

int sliderPosition(const SliderSetting& s, double value)
{
    if (s.max == s.min || !std::isfinite(value))
        return 0;
    const double at = std::round((value - s.min) / (s.max - s.min) * kSliderSteps);
    return static_cast<int>(std::clamp(at, 0.0, static_cast<double>(kSliderSteps)));
}

QString sliderText(const SliderSetting& s, double value)
{
    const double step = std::fabs(s.max - s.min) / kSliderSteps;
    const int decimals = step > 0 ? std::clamp(static_cast<int>(-std::floor(std::log10(step))), 0, 12) : 6;
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    if (text == QStringLiteral("-0"))
        text = QStringLiteral("0");
    return text;
}

TReglerForm::TReglerForm(const Design& design, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_design(design)
    , m_inputs(sliderInputs())
{
    setObjectName(QStringLiteral("ReglerForm"));
    setWindowTitle(QStringLiteral("Regler"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(3);
    for (int row = 0; row < kMaxSliders; ++row)
        buildRow(row);
    grid->setColumnStretch(2, 1);
    resize(sizeHint());
    for (int row = 0; row < kMaxSliders; ++row)
        showRow(row);
}

void TReglerForm::buildRow(int row)
{
    auto* grid = static_cast<QGridLayout*>(layout());
    Row& r = m_rows[static_cast<size_t>(row)];
    const QString suffix = QString::number(row + 1);
    r.chooser = new QComboBox(this);
    r.chooser->setObjectName(QStringLiteral("ReglerEingabe") + suffix);
    // The longest captions would make the window wider than the inputs.
    r.chooser->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    r.chooser->setMinimumContentsLength(20);
    r.chooser->addItem(QStringLiteral("–"));
    for (const ControlSpec* control : m_inputs)
        r.chooser->addItem(sliderCaption(*control), qs(control->name));
    r.min = new QLineEdit(this);
    r.min->setObjectName(QStringLiteral("ReglerMin") + suffix);
    r.min->setFixedWidth(64);
    r.min->setToolTip(QStringLiteral("Unteres Ende"));
    r.slider = new QSlider(Qt::Horizontal, this);
    r.slider->setObjectName(QStringLiteral("Regler") + suffix);
    r.slider->setRange(0, kSliderSteps);
    r.slider->setPageStep(kSliderSteps / 20);
    r.slider->setMinimumWidth(120);
    r.max = new QLineEdit(this);
    r.max->setObjectName(QStringLiteral("ReglerMax") + suffix);
    r.max->setFixedWidth(64);
    r.max->setToolTip(QStringLiteral("Oberes Ende"));
    r.value = new QLabel(this);
    r.value->setObjectName(QStringLiteral("ReglerWert") + suffix);
    r.value->setMinimumWidth(70);
    grid->addWidget(r.chooser, row, 0);
    grid->addWidget(r.min, row, 1);
    grid->addWidget(r.slider, row, 2);
    grid->addWidget(r.max, row, 3);
    grid->addWidget(r.value, row, 4);

    connect(r.chooser, &QComboBox::activated, this, [this, row](int item) { choose(row, item); });
    connect(r.min, &QLineEdit::editingFinished, this, [this, row] { rangeEdited(row); });
    connect(r.max, &QLineEdit::editingFinished, this, [this, row] { rangeEdited(row); });
    connect(r.slider, &QSlider::valueChanged, this, [this, row](int position) { moved(row, position); });
    connect(r.slider, &QSlider::sliderReleased, this, &TReglerForm::moveFinished);
}

void TReglerForm::choose(int row, int item)
{
    Row& r = m_rows[static_cast<size_t>(row)];
    if (item <= 0) {
        r.setting = SliderSetting {};
    } else {
        const std::string name(m_inputs[static_cast<size_t>(item - 1)]->name);
        r.setting = defaultSlider(name, parseLenient(m_design.text(name)));
    }
    showRow(row);
    emit slidersChanged();
}

void TReglerForm::rangeEdited(int row)
{
    Row& r = m_rows[static_cast<size_t>(row)];
    if (r.setting.control.empty())
        return;
    double min = 0;
    double max = 0;
    const bool numbers
        = parseStrictNumber(r.min->text().replace(QLatin1Char(','), QLatin1Char('.')).toStdString(), &min)
        && parseStrictNumber(r.max->text().replace(QLatin1Char(','), QLatin1Char('.')).toStdString(), &max);
    // An end that is no number, or a range of no width, is not taken.
    if (numbers && min != max && (min != r.setting.min || max != r.setting.max)) {
        r.setting.min = min;
        r.setting.max = max;
        emit slidersChanged();
    }
    showRow(row);
}

void TReglerForm::moved(int row, int position)
{
    if (m_refreshing)
        return;
    const Row& r = m_rows[static_cast<size_t>(row)];
    if (r.setting.control.empty())
        return;
    const QString text = sliderText(r.setting, sliderValue(r.setting, position));
    r.value->setText(text);
    emit valueMoved(r.setting.control, text);
    // Keys and the wheel move without a drag: each such step is complete.
    if (!r.slider->isSliderDown())
        emit moveFinished();
}

void TReglerForm::showRow(int row)
{
    Row& r = m_rows[static_cast<size_t>(row)];
    const bool used = !r.setting.control.empty();
    m_refreshing = true;
    {
        const QSignalBlocker block(r.chooser);
        const int item = used ? r.chooser->findData(qs(r.setting.control)) : 0;
        r.chooser->setCurrentIndex(std::max(item, 0));
    }
    r.min->setEnabled(used);
    r.max->setEnabled(used);
    r.slider->setEnabled(used);
    r.min->setText(used ? endText(r.setting.min) : QString());
    r.max->setText(used ? endText(r.setting.max) : QString());
    if (used && !r.slider->isSliderDown()) {
        const double value = parseLenient(m_design.text(r.setting.control));
        r.slider->setValue(sliderPosition(r.setting, value));
        r.value->setText(QString::fromStdString(m_design.text(r.setting.control)));
    } else if (!used) {
        r.slider->setValue(0);
        r.value->clear();
    }
    m_refreshing = false;
}

void TReglerForm::setSliders(const std::vector<SliderSetting>& sliders)
{
    for (int row = 0; row < kMaxSliders; ++row) {
        Row& r = m_rows[static_cast<size_t>(row)];
        r.setting
            = row < static_cast<int>(sliders.size()) ? sliders[static_cast<size_t>(row)] : SliderSetting {};
        showRow(row);
    }
}

std::vector<SliderSetting> TReglerForm::sliders() const
{
    std::vector<SliderSetting> used;
    for (const Row& r : m_rows)
        if (!r.setting.control.empty())
            used.push_back(r.setting);
    return used;
}

void TReglerForm::refreshFromDesign()
{
    for (int row = 0; row < kMaxSliders; ++row)
        showRow(row);
}

} // namespace velumo
