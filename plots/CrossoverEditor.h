#pragma once
// The content of the tab "&Frequenzweiche": the fixed schematic of the 14
// component positions of both ladders, the value grid `FWGrid` bound to the
// design, and the switch "Frequenzweiche ignorieren". The schematic only
// shows the topology; a click on an element picks its grid cell.

#include <QTableWidget>
#include <QWidget>

#include <functional>
#include <vector>

class QCheckBox;

namespace velumo {

class Design;

// Where an element picture of the schematic sits, in tab coordinates.
struct CrossoverPlace {
    int position; // 1..14; 0 for a driver
    char element; // 'R', 'C', 'L'; 'T' for a driver (position field holds 1 or 2 then)
    int left;
    int top;
};

// Every picture of the schematic: 42 elements, then the two drivers.
const std::vector<CrossoverPlace>& crossoverPlaces();

// A small clickable picture of one element (or a driver) of the schematic.
class CrossoverElementPicture : public QWidget {
    Q_OBJECT
public:
    CrossoverElementPicture(char element, bool vertical, const QString& hint, QWidget* parent = nullptr);
    // Only the driver pictures carry text ("1", "2").
    void setLabel(const QString& label) { m_label = label; }

    static QSize pictureSize(char element, bool vertical);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    char m_element;
    bool m_vertical;
    bool m_pressed = false;
    QString m_label;
};

// FWGrid: 15 × 4 cells, first row and column fixed.
class CrossoverGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit CrossoverGrid(QWidget* parent = nullptr);
    // Hands the text of an open cell editor to its cell, as leaving the cell
    // would; does nothing when no editor is open.
    void commitOpenEditor();
    // True when an open cell editor holds a text other than its cell's.
    bool openEditorChanged() const;
    // True for the grid and every widget inside it (the cell editor).
    bool contains(const QWidget* widget) const;
};

class CrossoverEditor : public QWidget {
    Q_OBJECT
public:
    // The editor reads and writes the cells and the switch of the design,
    // which must outlive it.
    explicit CrossoverEditor(Design& design, QWidget* parent = nullptr);
    ~CrossoverEditor() override;

    QTableWidget* grid() const { return m_grid; }
    QCheckBox* ignoreBox() const { return m_ohneFW; }
    // The picture with the hint "R1" ... "L14", "Treiber1", "Treiber2".
    CrossoverElementPicture* picture(const QString& hint) const;

    // Called when the grid is left and when the switch is clicked; the owner
    // runs the input check there. The grid is refreshed afterwards.
    void setInputLeftHandler(std::function<void()> handler) { m_inputLeft = std::move(handler); }
    // Called after a cell's new text is stored in the design.
    void setCellEditedHandler(std::function<void()> handler) { m_cellEdited = std::move(handler); }

    // Shows the cell texts and the switch state of the design.
    void refreshFromDesign();
    // A run started from the keyboard or the menu while a cell of the grid
    // is being changed: does what leaving the grid does (the open cell is
    // stored, the owner's check runs) and returns true; false otherwise.
    bool commitPendingEdit();

    // What a click on element picture does: focus the grid and select row
    // 1, 2 or 3 (R, C, L) of column position.
    void selectElement(int position, char element);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void gridLeft();
    void cellEdited(QTableWidgetItem* item);

    Design& m_design;
    CrossoverGrid* m_grid = nullptr;
    QCheckBox* m_ohneFW = nullptr;
    std::vector<CrossoverElementPicture*> m_pictures;
    std::function<void()> m_inputLeft;
    std::function<void()> m_cellEdited;
    QMetaObject::Connection m_focusWatch;
    bool m_refreshing = false;
    bool m_leaving = false;
    bool m_cellsEdited = false; // since the grid was last left
};

} // namespace velumo
