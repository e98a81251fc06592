#pragma once
// The input pages of the main window, built from the design table: every box,
// selection and grid shows the design and writes the user's changes back to
// it at once. Leaving a box (or clicking a check box or the radio group)
// whose row says so asks the window to run the input check.

#include <QObject>
#include <QString>

#include <map>
#include <string>
#include <string_view>

#include "Design.h"

class QCheckBox;
class QGridLayout;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QWidget;

namespace velumo {
class CrossoverEditor;
}

namespace velumo {

// Page indices of the page control; the hidden page keeps the place of a
// page the report leaves out.
enum InputPage { kPageTreiber = 0, kPageHorn = 1, kPageErweitert = 2, kPageWeiche = 3, kPageAchsen = 4 };

// The main window's client area and where the page control sits in it;
// the pages start near (12, 32) of the client area, where the report crops
// them.
constexpr int kInputClientWidth = 559;
constexpr int kInputClientHeight = 425;

// The page control "PageControl1" with its hint, placed in `client`.
QTabWidget* makePageControl(QWidget* client);

class InputTabs : public QObject {
    Q_OBJECT
public:
    // Builds the pages into `pages`.
    InputTabs(Design& design, QTabWidget* pages);

    // The widget of a design control, or of "CheckListAuto", "MinMaxGrid",
    // "OptionGrid", "FWGrid"; null when there is none.
    QWidget* widget(std::string_view name) const;

    QPushButton* driver1Button() const { return m_driver1Button; }
    QPushButton* driver2Button() const { return m_driver2Button; }
    QPushButton* refreshButton() const { return m_refreshButton; }

    // Shows the design: texts, selections, checks, enabled states, colours,
    // hints and grid cells.
    void refreshFromDesign();

    // Called on every focus change of the application: leaving a control
    // that runs the check emits checkRequested().
    void focusChanged(QWidget* old, QWidget* now);

    CrossoverEditor* crossoverEditor() const { return m_crossover; }

    // Before a run started without moving the focus (F9, the menu): a
    // control edited and still being edited counts as left, so its check
    // runs as leaving it would run it. True when a check was requested.
    bool commitFocusedInput();

    // A box's text as if typed (a slider of the "Regler" window): design,
    // box and the signal edited(false).
    void enterText(std::string_view name, const QString& text);

    // The box whose value the live check refused, tinted until it is valid;
    // empty for none.
    void setFlagged(std::string name);
    const std::string& flagged() const { return m_flagged; }

signals:
    void checkRequested();
    // The user changed an input (typing, selecting, clicking); `typing` for
    // each keystroke in a box.
    void edited(bool typing);
    // An edit is complete: a box left or confirmed, a selection made, a cell
    // stored. Undo takes one step per completed edit.
    void committed();

private:
    QWidget* buildDriverPage();
    QWidget* buildHornPage();
    QWidget* buildAxesPage();
    QWidget* buildCrossoverPage();
    QWidget* buildGroup(std::string_view tab, std::string_view group, const QString& title);
    void addRow(QGridLayout* grid, int row, const ControlSpec& entry);
    QWidget* makeControl(const ControlSpec& entry);
    void bindGrid(QTableWidget* table, const char* name);
    void writeGridBack(const char* name, int row, int col, const QString& text);
    void refreshGrids();
    // The name of the control whose widget is or contains `w`, or "".
    std::string controlContaining(QWidget* w) const;
    bool leavingRunsCheck(const std::string& name) const;

    Design& m_design;
    std::map<std::string, QWidget*, std::less<>> m_widgets;
    QPushButton* m_driver1Button = nullptr;
    QPushButton* m_driver2Button = nullptr;
    QPushButton* m_refreshButton = nullptr;
    CrossoverEditor* m_crossover = nullptr;
    QTableWidget* m_minMaxGrid = nullptr;
    QTableWidget* m_optionGrid = nullptr;
    QListWidget* m_autoList = nullptr;
    bool m_refreshing = false;
    bool m_uncheckedEdit = false; // an edit since the last check request
    std::string m_flagged;
};

// Window colour for a box in use, button-face colour for an irrelevant one.
QColor boxColour(BoxColour colour);
// A light red for a box whose value is refused while typing.
QColor flaggedColour();

} // namespace velumo
