#include "InputTabs.h"

#include "CrossoverEditor.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace velumo {

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string str(const QString& s) { return s.toStdString(); }

constexpr int kEditWidth = 52;
constexpr int kRowHeight = 20;

std::vector<const ControlSpec*> groupRows(std::string_view tab, std::string_view group)
{
    std::vector<const ControlSpec*> rows;
    for (const ControlSpec& s : designTable())
        if (s.tab == tab && s.group == group && s.kind != ControlKind::Grid)
            rows.push_back(&s);
    std::stable_sort(rows.begin(), rows.end(),
        [](const ControlSpec* a, const ControlSpec* b) { return a->uiOrder < b->uiOrder; });
    return rows;
}

QTableWidget* makeTable(const char* name, int cols, int rows, int fixedCols, int fixedRows, QWidget* parent)
{
    auto* t = new QTableWidget(rows, cols, parent);
    t->setObjectName(QString::fromLatin1(name));
    t->horizontalHeader()->hide();
    t->verticalHeader()->hide();
    t->verticalHeader()->setDefaultSectionSize(18);
    t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    t->setEditTriggers(QAbstractItemView::AllEditTriggers);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            auto* item = new QTableWidgetItem;
            if (r < fixedRows || c < fixedCols) {
                item->setFlags(Qt::ItemIsEnabled);
                item->setBackground(QApplication::palette().color(QPalette::Button));
            }
            t->setItem(r, c, item);
        }
    return t;
}

void fitTable(QTableWidget* t)
{
    int w = 2 * t->frameWidth();
    for (int c = 0; c < t->columnCount(); ++c)
        w += t->columnWidth(c);
    int h = 2 * t->frameWidth();
    if (!t->horizontalHeader()->isHidden())
        h += t->horizontalHeader()->height();
    for (int r = 0; r < t->rowCount(); ++r)
        h += t->rowHeight(r);
    t->setFixedSize(w, h);
}

} // namespace

QColor boxColour(BoxColour colour)
{
    return QApplication::palette().color(colour == BoxColour::Window ? QPalette::Base : QPalette::Button);
}

QColor flaggedColour() { return QColor(255, 205, 205); }

QTabWidget* makePageControl(QWidget* client)
{
    auto* pages = new QTabWidget(client);
    pages->setObjectName(QStringLiteral("PageControl1"));
    pages->setToolTip(QStringLiteral("Dateneingabe"));
    pages->setGeometry(8, 8, kInputClientWidth - 16, 366);
    return pages;
}

InputTabs::InputTabs(Design& design, QTabWidget* pages)
    : QObject(pages)
    , m_design(design)
{
    pages->addTab(buildDriverPage(), QStringLiteral("&Treiber"));
    pages->setTabToolTip(kPageTreiber, QStringLiteral("Treiber"));
    pages->addTab(buildHornPage(), QStringLiteral("&Horn"));
    pages->setTabToolTip(kPageHorn, QStringLiteral("Horn"));
    auto* extended = new QWidget;
    extended->setObjectName(QStringLiteral("TabErweitert"));
    pages->addTab(extended, QStringLiteral("Erweitert"));
    pages->setTabVisible(kPageErweitert, false);
    pages->addTab(buildCrossoverPage(), QStringLiteral("&Frequenzweiche"));
    pages->setTabToolTip(kPageWeiche, QStringLiteral("Frequenzweiche"));
    pages->addTab(buildAxesPage(), QStringLiteral("&Achsen"));
    pages->setTabToolTip(kPageAchsen, QStringLiteral("Achsen"));
    refreshFromDesign();
    connect(this, &InputTabs::edited, this, [this] { m_uncheckedEdit = true; });
    connect(this, &InputTabs::checkRequested, this, [this] { m_uncheckedEdit = false; });
}

QWidget* InputTabs::widget(std::string_view name) const
{
    auto it = m_widgets.find(name);
    return it == m_widgets.end() ? nullptr : it->second;
}

QWidget* InputTabs::makeControl(const ControlSpec& entry)
{
    const std::string name(entry.name);
    QWidget* w = nullptr;
    switch (entry.kind) {
    case ControlKind::Edit: {
        auto* e = new QLineEdit;
        e->setAutoFillBackground(true);
        connect(e, &QLineEdit::textEdited, this, [this, name](const QString& t) {
            m_design.setText(name, str(t));
            emit edited(true);
        });
        connect(e, &QLineEdit::editingFinished, this, &InputTabs::committed);
        w = e;
        break;
    }
    case ControlKind::Combo: {
        auto* c = new QComboBox;
        for (std::string_view item : entry.items)
            c->addItem(qs(item));
        connect(c, &QComboBox::activated, this, [this, name](int index) {
            m_design.setIndex(name, index);
            emit edited(false);
            emit committed();
        });
        w = c;
        break;
    }
    case ControlKind::Check: {
        auto* b = new QCheckBox(qs(entry.caption));
        const bool runs = entry.runsCheck;
        connect(b, &QCheckBox::clicked, this, [this, name, runs](bool on) {
            m_design.setChecked(name, on);
            emit edited(false);
            if (runs)
                emit checkRequested();
            emit committed();
        });
        w = b;
        break;
    }
    case ControlKind::Radio: {
        auto* box = new QGroupBox(qs(entry.caption));
        auto* layout = new QVBoxLayout(box);
        layout->setContentsMargins(6, 2, 6, 2);
        layout->setSpacing(1);
        auto* buttons = new QButtonGroup(box);
        for (size_t i = 0; i < entry.items.size(); ++i) {
            auto* r = new QRadioButton(qs(entry.items[i]), box);
            r->setObjectName(qs(entry.name) + QStringLiteral("_") + QString::number(i));
            buttons->addButton(r, static_cast<int>(i));
            layout->addWidget(r);
        }
        connect(buttons, &QButtonGroup::idClicked, this, [this, name](int id) {
            m_design.setIndex(name, id);
            emit edited(false);
            emit checkRequested();
            emit committed();
        });
        w = box;
        break;
    }
    case ControlKind::Grid:
        return nullptr;
    }
    w->setObjectName(qs(entry.name));
    m_widgets[name] = w;
    return w;
}

void InputTabs::addRow(QGridLayout* grid, int row, const ControlSpec& entry)
{
    QWidget* w = makeControl(entry);
    if (!w)
        return;
    if (entry.kind == ControlKind::Edit && !entry.unit.empty()) {
        if (!entry.caption.empty())
            grid->addWidget(new QLabel(qs(entry.caption)), row, 0);
        w->setFixedSize(kEditWidth, kRowHeight);
        grid->addWidget(w, row, 1);
        grid->addWidget(new QLabel(qs(entry.unit)), row, 2);
    } else {
        if (entry.kind == ControlKind::Edit || entry.kind == ControlKind::Combo)
            w->setFixedHeight(kRowHeight + 1);
        grid->addWidget(w, row, 0, 1, 3);
    }
}

QWidget* InputTabs::buildGroup(std::string_view tab, std::string_view group, const QString& title)
{
    auto* box = new QGroupBox(title);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setHorizontalSpacing(3);
    grid->setVerticalSpacing(1);
    int row = 0;
    for (const ControlSpec* entry : groupRows(tab, group))
        addRow(grid, row++, *entry);
    grid->setColumnStretch(2, 1);
    return box;
}

QWidget* InputTabs::buildDriverPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabTreiber"));
    m_driver1Button = new QPushButton(QStringLiteral("Treiber1 öffnen"));
    m_driver1Button->setObjectName(QStringLiteral("BtnTreiber1Oeffnen"));
    m_driver2Button = new QPushButton(QStringLiteral("Treiber2 öffnen"));
    m_driver2Button->setObjectName(QStringLiteral("BtnTreiber2Oeffnen"));

    auto* col1 = new QVBoxLayout;
    col1->addWidget(m_driver1Button);
    col1->addWidget(buildGroup("&Treiber", "Treiber1", QStringLiteral("Treiber1")));
    col1->addStretch();
    // The driver-2 group holds the boxes; mode and switches stand beside it.
    auto* box2 = new QGroupBox(QStringLiteral("Treiber2"));
    auto* grid2 = new QGridLayout(box2);
    grid2->setContentsMargins(4, 2, 4, 2);
    grid2->setHorizontalSpacing(3);
    grid2->setVerticalSpacing(1);
    auto* side = new QVBoxLayout;
    int row = 0;
    for (const ControlSpec* entry : groupRows("&Treiber", "Treiber2")) {
        if (entry->kind == ControlKind::Edit)
            addRow(grid2, row++, *entry);
        else
            side->addWidget(makeControl(*entry));
    }
    grid2->setColumnStretch(2, 1);
    side->addStretch();
    auto* col2 = new QVBoxLayout;
    col2->addWidget(m_driver2Button);
    col2->addWidget(box2);
    col2->addStretch();

    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(col1);
    layout->addLayout(col2);
    layout->addLayout(side);
    return page;
}

QWidget* InputTabs::buildHornPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabHorn"));
    auto column = [this](std::initializer_list<const char*> groups) {
        auto* v = new QVBoxLayout;
        v->setSpacing(2);
        for (const char* g : groups)
            v->addWidget(buildGroup("&Horn", g, QString::fromUtf8(g)));
        v->addStretch();
        return v;
    };
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->setSpacing(3);
    layout->addLayout(column({ "Horn" }));
    layout->addLayout(column({ "Vor-/Rückkammer", "Treiber2/Rückk.2" }));
    layout->addLayout(column({ "Absorberkammer", "Aufstellung" }));
    layout->addLayout(column({ "Extratunnel" }));
    return page;
}

QWidget* InputTabs::buildCrossoverPage()
{
    m_crossover = new CrossoverEditor(m_design);
    m_crossover->setObjectName(QStringLiteral("TabFrequenzweiche"));
    // The editor reports leaving its grid and clicking its switch itself.
    m_crossover->setInputLeftHandler([this] { emit checkRequested(); });
    m_crossover->setCellEditedHandler([this] {
        emit edited(false);
        emit committed();
    });
    // After the editor's own handler, which stores the switch and checks.
    connect(m_crossover->ignoreBox(), &QCheckBox::clicked, this, [this] {
        emit edited(false);
        emit committed();
    });
    m_widgets["FWGrid"] = m_crossover->grid();
    m_widgets["CBohneFW"] = m_crossover->ignoreBox();
    return m_crossover;
}

QWidget* InputTabs::buildAxesPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabAchsen"));
    m_autoList = new QListWidget(page);
    m_autoList->setObjectName(QStringLiteral("CheckListAuto"));
    for (std::string_view title : kAxisRowTitles) {
        auto* item = new QListWidgetItem(qs(title), m_autoList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    // Wide enough for the longest caption with its check box; the rows as
    // high as the grid's beside them.
    const int captions = m_autoList->sizeHintForColumn(0);
    for (int r = 0; r < m_autoList->count(); ++r)
        m_autoList->item(r)->setSizeHint(QSize(captions, 18));
    m_autoList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_autoList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_autoList->setFixedSize(
        captions + 2 * m_autoList->frameWidth(), 18 * kAxisRows + 2 * m_autoList->frameWidth());
    connect(m_autoList, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (m_refreshing)
            return;
        m_design.setAxisAuto(m_autoList->row(item), item->checkState() == Qt::Checked);
        emit edited(false);
        emit committed();
    });
    m_widgets["CheckListAuto"] = m_autoList;

    m_minMaxGrid = makeTable("MinMaxGrid", kMinMaxCols, kMinMaxRows, 0, 0, page);
    m_minMaxGrid->setHorizontalHeaderLabels({ QStringLiteral("Min"), QStringLiteral("Max") });
    m_minMaxGrid->horizontalHeader()->show();
    m_minMaxGrid->horizontalHeader()->setFixedHeight(18);
    m_minMaxGrid->horizontalHeader()->setDefaultSectionSize(52);
    fitTable(m_minMaxGrid);
    bindGrid(m_minMaxGrid, "MinMaxGrid");

    m_optionGrid = makeTable("OptionGrid", kOptionCols, kOptionRows, 1, 0, page);
    // The title column is four times the value column and holds the
    // longest title.
    int titles = 0;
    for (std::string_view title : kOptionTitles)
        titles = std::max(titles, m_optionGrid->fontMetrics().horizontalAdvance(qs(title)));
    constexpr int kCellPadding = 12;
    const int valueWidth = std::max(50, (titles + kCellPadding + 3) / 4);
    m_optionGrid->setColumnWidth(0, 4 * valueWidth);
    m_optionGrid->setColumnWidth(1, valueWidth);
    fitTable(m_optionGrid);
    bindGrid(m_optionGrid, "OptionGrid");

    m_refreshButton = new QPushButton(QStringLiteral("Aktualisieren"), page);
    m_refreshButton->setObjectName(QStringLiteral("BtnRefresh"));

    // The rows of the check list stand beside the grid rows, below the
    // grid's "Min"/"Max" titles.
    const int titleRow = m_minMaxGrid->horizontalHeader()->height();
    auto* list = new QVBoxLayout;
    list->addSpacing(titleRow);
    list->addWidget(m_autoList);
    list->addStretch();
    auto* axes = new QHBoxLayout;
    axes->addLayout(list);
    axes->addWidget(m_minMaxGrid, 0, Qt::AlignTop);
    auto* switches = new QVBoxLayout;
    // The two switches stand beside the excursion and the power rows.
    switches->addSpacing(titleRow + 2 * 18);
    switches->addWidget(makeControl(*findControl("CBAmplTreiber2")));
    switches->addSpacing(18 - kRowHeight + 18);
    switches->addWidget(makeControl(*findControl("CBPmaxTreiber2")));
    switches->addStretch();
    axes->addLayout(switches);
    axes->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_optionGrid);
    bottom->addStretch();
    bottom->addWidget(m_refreshButton, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(axes);
    layout->addLayout(bottom);
    layout->addStretch();
    return page;
}

void InputTabs::bindGrid(QTableWidget* table, const char* name)
{
    m_widgets[name] = table;
    connect(table, &QTableWidget::itemChanged, this, [this, name](QTableWidgetItem* item) {
        if (m_refreshing)
            return;
        writeGridBack(name, item->row(), item->column(), item->text());
        emit edited(false);
        emit committed();
    });
}

void InputTabs::writeGridBack(const char* name, int row, int col, const QString& text)
{
    const std::string_view n(name);
    if (n == "MinMaxGrid")
        m_design.minMaxCell(col, row) = str(text);
    else
        m_design.optionCell(col, row) = str(text);
}

void InputTabs::refreshGrids()
{
    auto fill = [](QTableWidget* t, auto cell) {
        if (!t)
            return;
        for (int r = 0; r < t->rowCount(); ++r)
            for (int c = 0; c < t->columnCount(); ++c)
                t->item(r, c)->setText(qs(cell(c, r)));
    };
    fill(m_minMaxGrid,
        [this](int c, int r) -> const std::string& { return std::as_const(m_design).minMaxCell(c, r); });
    fill(m_optionGrid,
        [this](int c, int r) -> const std::string& { return std::as_const(m_design).optionCell(c, r); });
    for (int r = 0; r < kAxisRows; ++r)
        m_autoList->item(r)->setCheckState(m_design.axisAuto(r) ? Qt::Checked : Qt::Unchecked);
}

void InputTabs::refreshFromDesign()
{
    m_refreshing = true;
    for (const ControlSpec& entry : designTable()) {
        QWidget* w = widget(entry.name);
        if (!w || entry.kind == ControlKind::Grid)
            continue;
        const ControlState& st = m_design.control(entry.name);
        const QSignalBlocker block(w);
        w->setEnabled(st.enabled);
        w->setToolTip(qs(st.hint));
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            if (e->text() != qs(st.text))
                e->setText(qs(st.text));
            // An unchanged palette is not set again: each setting repaints
            // the box, and the live mode refreshes on every keystroke.
            const QColor base = entry.name == m_flagged ? flaggedColour() : boxColour(st.colour);
            if (e->palette().color(QPalette::Base) != base) {
                QPalette p = e->palette();
                p.setColor(QPalette::Base, base);
                e->setPalette(p);
            }
        } else if (auto* c = qobject_cast<QComboBox*>(w)) {
            c->setCurrentIndex(st.index);
        } else if (auto* b = qobject_cast<QCheckBox*>(w)) {
            b->setChecked(st.checked);
        } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
            const auto buttons = box->findChildren<QRadioButton*>();
            for (QRadioButton* r : buttons) {
                const QSignalBlocker blockButton(r);
                // Exclusive groups cannot show "none" by unchecking one button.
                r->setAutoExclusive(false);
                r->setChecked(r->objectName().endsWith(QStringLiteral("_") + QString::number(st.index)));
                r->setAutoExclusive(true);
            }
        }
    }
    refreshGrids();
    m_crossover->refreshFromDesign();
    m_refreshing = false;
}

void InputTabs::enterText(std::string_view name, const QString& text)
{
    m_design.setText(name, str(text));
    if (auto* e = qobject_cast<QLineEdit*>(widget(name))) {
        const QSignalBlocker block(e);
        e->setText(text);
    }
    emit edited(false);
}

void InputTabs::setFlagged(std::string name)
{
    if (name == m_flagged)
        return;
    m_flagged = std::move(name);
    refreshFromDesign();
}

std::string InputTabs::controlContaining(QWidget* w) const
{
    for (QWidget* p = w; p; p = p->parentWidget()) {
        const std::string name = p->objectName().toStdString();
        auto it = m_widgets.find(name);
        if (it != m_widgets.end() && it->second == p)
            return name;
    }
    return std::string();
}

bool InputTabs::leavingRunsCheck(const std::string& name) const
{
    const ControlSpec* entry = findControl(name);
    return entry && entry->runsCheck
        && (entry->kind == ControlKind::Edit || entry->kind == ControlKind::Combo);
}

bool InputTabs::commitFocusedInput()
{
    if (m_crossover->commitPendingEdit())
        return true;
    QWidget* focus = QApplication::focusWidget();
    if (!m_uncheckedEdit || !focus || !leavingRunsCheck(controlContaining(focus)))
        return false;
    emit checkRequested();
    return true;
}

void InputTabs::focusChanged(QWidget* old, QWidget* now)
{
    // Switching to another window (a message box, a graph) is not leaving.
    if (!old || !now || old->window() != now->window())
        return;
    const std::string from = controlContaining(old);
    if (from.empty() || from == controlContaining(now))
        return;
    if (leavingRunsCheck(from))
        emit checkRequested();
}

} // namespace velumo
