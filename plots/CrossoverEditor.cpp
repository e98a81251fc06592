#include "CrossoverEditor.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>

#include "Design.h"
#include "DesignTable.h"

namespace velumo {

namespace {

constexpr int kGridLeft = 8;
constexpr int kGridTop = 4;
constexpr int kGridWidth = 483;
constexpr int kGridHeight = 79;
constexpr int kColumnWidth = 29;
constexpr int kRowHeight = 18;

// Wires of the schematic (tab pixels): both ladders' signal and return rows.
constexpr int kSignalRow1 = 142;
constexpr int kReturnRow1 = 216;
constexpr int kSignalRow2 = 246;
constexpr int kReturnRow2 = 320;
constexpr int kDriverColumn = 447;
constexpr QSize kDriverSize { 26, 36 };

QString fromUtf8(const std::string& s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

int rowOf(char element) { return element == 'R' ? 1 : element == 'C' ? 2 : 3; }

QString hintOf(const CrossoverPlace& p)
{
    if (p.element == 'T')
        return QStringLiteral("Treiber%1").arg(p.position);
    return QStringLiteral("%1%2").arg(QChar::fromLatin1(p.element)).arg(p.position);
}

} // namespace

const std::vector<CrossoverPlace>& crossoverPlaces()
{
    static const std::vector<CrossoverPlace> places = [] {
        struct Row {
            int position;
            int r[2];
            int c[2];
            int l[2];
        };
        const Row rows[] = {
            { 1, { 31, 138 }, { 60, 136 }, { 75, 138 } },
            { 2, { 112, 143 }, { 110, 172 }, { 112, 187 } },
            { 3, { 132, 138 }, { 161, 136 }, { 176, 138 } },
            { 4, { 215, 143 }, { 213, 172 }, { 215, 187 } },
            { 5, { 245, 114 }, { 252, 136 }, { 245, 162 } },
            { 6, { 293, 143 }, { 291, 172 }, { 293, 187 } },
            { 7, { 320, 114 }, { 349, 112 }, { 364, 114 } },
            { 8, { 320, 138 }, { 349, 136 }, { 364, 138 } },
            { 9, { 320, 162 }, { 349, 160 }, { 364, 162 } },
            { 10, { 416, 143 }, { 414, 172 }, { 416, 187 } },
            { 11, { 229, 242 }, { 258, 240 }, { 273, 242 } },
            { 12, { 313, 247 }, { 311, 276 }, { 313, 291 } },
            { 13, { 331, 242 }, { 360, 240 }, { 375, 242 } },
            { 14, { 416, 247 }, { 414, 276 }, { 416, 291 } },
        };
        std::vector<CrossoverPlace> v;
        for (const Row& row : rows) {
            v.push_back({ row.position, 'R', row.r[0], row.r[1] });
            v.push_back({ row.position, 'C', row.c[0], row.c[1] });
            v.push_back({ row.position, 'L', row.l[0], row.l[1] });
        }
        v.push_back({ 1, 'T', 444, 161 });
        v.push_back({ 2, 'T', 444, 265 });
        return v;
    }();
    return places;
}

// ---------------------------------------------------------------------------

CrossoverElementPicture::CrossoverElementPicture(
    char element, bool vertical, const QString& hint, QWidget* parent)
    : QWidget(parent)
    , m_element(element)
    , m_vertical(vertical)
{
    setObjectName(QStringLiteral("Image") + hint);
    setToolTip(hint);
    setCursor(Qt::PointingHandCursor);
    setFixedSize(pictureSize(element, vertical));
}

QSize CrossoverElementPicture::pictureSize(char element, bool vertical)
{
    if (element == 'T')
        return kDriverSize;
    const QSize horizontal = element == 'C' ? QSize(15, 13) : QSize(29, 9);
    return vertical ? horizontal.transposed() : horizontal;
}

void CrossoverElementPicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QColor ink = palette().color(QPalette::WindowText);
    QPen pen(ink, 1.0);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);

    if (m_element == 'T') {
        // Leads at x = 3 from both ends, magnet and cone to the right.
        const double lead = 3.5;
        p.drawPolyline(QPolygonF({ { lead, 0 }, { lead, 14.5 }, { 7, 14.5 } }));
        p.drawPolyline(QPolygonF({ { lead, 36 }, { lead, 21.5 }, { 7, 21.5 } }));
        p.setBrush(palette().color(QPalette::Base));
        p.drawRect(QRectF(7.5, 9.5, 10, 17));
        p.drawPolygon(QPolygonF({ { 17.5, 9.5 }, { 25, 1.5 }, { 25, 34.5 }, { 17.5, 26.5 } }));
        QFont f = font();
        f.setPixelSize(11);
        p.setFont(f);
        p.drawText(QRectF(9, 11, 9, 14), Qt::AlignCenter, m_label);
        return;
    }

    // Draw along x and rotate for the vertical pictures; the lead runs
    // through the middle of the short side.
    const double length = m_vertical ? height() : width();
    const double across = m_vertical ? width() : height();
    if (m_vertical) {
        p.translate(width(), 0);
        p.rotate(90);
    }
    const double mid = across / 2.0;
    switch (m_element) {
    case 'R': {
        const double box = 19.0;
        const double a = (length - box) / 2.0;
        p.drawLine(QPointF(0, mid), QPointF(a, mid));
        p.drawLine(QPointF(a + box, mid), QPointF(length, mid));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(a, mid - 3.0, box, 6.0));
        break;
    }
    case 'C': {
        const double gap = 3.0;
        const double a = (length - gap) / 2.0;
        p.drawLine(QPointF(0, mid), QPointF(a, mid));
        p.drawLine(QPointF(a + gap, mid), QPointF(length, mid));
        QPen plate(ink, 2.0);
        plate.setCapStyle(Qt::FlatCap);
        p.setPen(plate);
        p.drawLine(QPointF(a, 1), QPointF(a, across - 1));
        p.drawLine(QPointF(a + gap, 1), QPointF(a + gap, across - 1));
        break;
    }
    default: { // 'L': four turns of a coil over the lead
        const double lead = 3.0;
        const double turn = (length - 2 * lead) / 4.0;
        QPainterPath coil(QPointF(0, mid));
        coil.lineTo(lead, mid);
        for (int k = 0; k < 4; ++k)
            coil.arcTo(QRectF(lead + k * turn, mid - turn / 2.0, turn, turn), 180, -180);
        coil.lineTo(length, mid);
        p.setBrush(Qt::NoBrush);
        p.drawPath(coil);
        break;
    }
    }
}

void CrossoverElementPicture::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void CrossoverElementPicture::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click
        = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        emit clicked();
}

// ---------------------------------------------------------------------------

CrossoverGrid::CrossoverGrid(QWidget* parent)
    : QTableWidget(kFwRows, kFwCols, parent)
{
    setObjectName(QStringLiteral("FWGrid"));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(8);
    verticalHeader()->setMinimumSectionSize(8);
    horizontalHeader()->setDefaultSectionSize(kColumnWidth);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setColumnWidth(0, 2 * columnWidth(1));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    // The cell under the cursor is always open for typing.
    setEditTriggers(QAbstractItemView::AllEditTriggers);
    setTabKeyNavigation(true);
    // Narrow cells clip a long value instead of hiding it behind dots.
    setTextElideMode(Qt::ElideNone);
    setWordWrap(false);
    QFont f = font();
    f.setPixelSize(11);
    setFont(f);

    const QBrush fixedBrush = palette().brush(QPalette::Button);
    for (int r = 0; r < kFwRows; ++r) {
        for (int c = 0; c < kFwCols; ++c) {
            auto* item = new QTableWidgetItem;
            if (r == 0 || c == 0) {
                item->setFlags(Qt::ItemIsEnabled);
                item->setBackground(fixedBrush);
                item->setTextAlignment(
                    c == 0 ? (Qt::AlignLeft | Qt::AlignVCenter) : Qt::Alignment(Qt::AlignCenter));
            }
            setItem(r, c, item);
        }
    }
}

void CrossoverGrid::commitOpenEditor()
{
    if (state() != QAbstractItemView::EditingState)
        return;
    QWidget* editor = QApplication::focusWidget();
    if (!editor || !viewport()->isAncestorOf(editor))
        return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

bool CrossoverGrid::openEditorChanged() const
{
    const auto* editor = qobject_cast<const QLineEdit*>(QApplication::focusWidget());
    return state() == QAbstractItemView::EditingState && editor && viewport()->isAncestorOf(editor)
        && currentItem() && editor->text() != currentItem()->text();
}

bool CrossoverGrid::contains(const QWidget* widget) const
{
    return widget && (widget == this || isAncestorOf(widget));
}

// ---------------------------------------------------------------------------

CrossoverEditor::CrossoverEditor(Design& design, QWidget* parent)
    : QWidget(parent)
    , m_design(design)
{
    setObjectName(QStringLiteral("TabFrequenzweiche"));
    setMinimumSize(480, 330);

    m_grid = new CrossoverGrid(this);
    m_grid->setGeometry(kGridLeft, kGridTop, kGridWidth, kGridHeight);
    connect(m_grid, &QTableWidget::itemChanged, this, &CrossoverEditor::cellEdited);

    const ControlSpec* boxInfo = findControl("CBohneFW");
    m_ohneFW = new QCheckBox(boxInfo ? fromUtf8(std::string(boxInfo->caption)) : QString(), this);
    m_ohneFW->setObjectName(QStringLiteral("CBohneFW"));
    m_ohneFW->adjustSize();
    m_ohneFW->move(kGridLeft, kGridTop + kGridHeight + 4);
    connect(m_ohneFW, &QCheckBox::clicked, this, [this](bool on) {
        m_design.setChecked("CBohneFW", on);
        if (m_inputLeft)
            m_inputLeft();
        refreshFromDesign();
    });

    for (const CrossoverPlace& place : crossoverPlaces()) {
        const bool vertical = place.element != 'T' && isShuntPosition(place.position);
        auto* picture = new CrossoverElementPicture(place.element, vertical, hintOf(place), this);
        picture->move(place.left, place.top);
        if (place.element == 'T') {
            picture->setLabel(QString::number(place.position));
        } else {
            const int position = place.position;
            const char element = place.element;
            connect(picture, &CrossoverElementPicture::clicked, this,
                [this, position, element] { selectElement(position, element); });
        }
        m_pictures.push_back(picture);
    }

    m_focusWatch = connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        // Switching to another program is no leaving of the grid.
        if (now && m_grid->contains(old) && !m_grid->contains(now))
            gridLeft();
    });

    refreshFromDesign();
}

CrossoverEditor::~CrossoverEditor()
{
    // The grid gives up the focus while it is destroyed; that is no leaving.
    disconnect(m_focusWatch);
}

CrossoverElementPicture* CrossoverEditor::picture(const QString& hint) const
{
    for (CrossoverElementPicture* p : m_pictures)
        if (p->toolTip() == hint)
            return p;
    return nullptr;
}

void CrossoverEditor::refreshFromDesign()
{
    m_refreshing = true;
    for (int r = 0; r < kFwRows; ++r)
        for (int c = 0; c < kFwCols; ++c)
            m_grid->item(r, c)->setText(fromUtf8(m_design.fwCell(c, r)));
    const ControlState& box = m_design.control("CBohneFW");
    m_ohneFW->setChecked(box.checked);
    m_ohneFW->setEnabled(box.enabled);
    m_refreshing = false;
}

bool CrossoverEditor::commitPendingEdit()
{
    if (!m_grid->contains(QApplication::focusWidget()) || !(m_cellsEdited || m_grid->openEditorChanged()))
        return false;
    gridLeft();
    return true;
}

void CrossoverEditor::selectElement(int position, char element)
{
    if (position < 1 || position >= kFwCols)
        return;
    m_grid->setFocus(Qt::MouseFocusReason);
    m_grid->setCurrentCell(rowOf(element), position);
}

void CrossoverEditor::cellEdited(QTableWidgetItem* item)
{
    if (m_refreshing || !item || item->row() < 1 || item->column() < 1)
        return;
    m_design.fwCell(item->column(), item->row()) = item->text().toStdString();
    m_cellsEdited = true;
    if (m_cellEdited)
        m_cellEdited();
}

void CrossoverEditor::gridLeft()
{
    if (m_leaving)
        return;
    m_leaving = true;
    m_grid->commitOpenEditor();
    if (m_inputLeft)
        m_inputLeft();
    refreshFromDesign();
    m_cellsEdited = false;
    m_leaving = false;
}

void CrossoverEditor::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    QPen pen(palette().color(QPalette::WindowText), 1.0);
    pen.setCapStyle(Qt::SquareCap);
    p.setPen(pen);
    // Wires run through pixel centres, like the leads of the pictures, so
    // they meet cleanly at any scale.
    auto wire = [&p](int x1, int y1, int x2, int y2) {
        p.drawLine(QPointF(x1 + 0.5, y1 + 0.5), QPointF(x2 + 0.5, y2 + 0.5));
    };

    // Driver 1's ladder.
    wire(104, kSignalRow1, 132, kSignalRow1);
    wire(205, kSignalRow1, 252, kSignalRow1); // on into C5
    wire(267, kSignalRow1, 319, kSignalRow1);
    wire(393, kSignalRow1, kDriverColumn, kSignalRow1);
    wire(31, kReturnRow1, kDriverColumn, kReturnRow1);
    for (int bar : { 244, 274, 319, 393 })
        wire(bar, 118, bar, 166);
    for (int column : { 116, 219, 297, 420 })
        wire(column, kSignalRow1, column, kSignalRow1 + 1);
    wire(kDriverColumn, kSignalRow1, kDriverColumn, 161);
    wire(kDriverColumn, 161 + kDriverSize.height() - 1, kDriverColumn, kReturnRow1);

    // Driver 2's ladder.
    wire(302, kSignalRow2, 331, kSignalRow2);
    wire(404, kSignalRow2, kDriverColumn, kSignalRow2);
    wire(229, kReturnRow2, 448, kReturnRow2);
    for (int column : { 317, 420 })
        wire(column, kSignalRow2, column, kSignalRow2 + 1);
    wire(kDriverColumn, kSignalRow2, kDriverColumn, 265);
    wire(kDriverColumn, 265 + kDriverSize.height() - 1, kDriverColumn, kReturnRow2);

    // Input terminals of both ladders and their voltage labels.
    p.setBrush(palette().color(QPalette::Base));
    for (QPoint t : { QPoint(28, kSignalRow1), QPoint(28, kReturnRow1), QPoint(226, kSignalRow2),
             QPoint(226, kReturnRow2) })
        p.drawEllipse(QPointF(t.x() + 0.5, t.y() + 0.5), 2.5, 2.5);
    QFont f = font();
    f.setPixelSize(13);
    p.setFont(f);
    const int ascent = QFontMetrics(f).ascent();
    p.drawText(22, 174 + ascent, QStringLiteral("Ue"));
    p.drawText(220, 278 + ascent, QStringLiteral("Ue"));
}

} // namespace velumo
