#pragma once
// "Sonstiges": the derived driver values (left column) and the horn and
// enclosure sizes (right column) of the last run.

#include <QPlainTextEdit>
#include <QStringList>

#include <string>
#include <vector>

#include "ResultWindow.h"

namespace velumo {

class TParamForm : public ResultWindow {
    Q_OBJECT
public:
    explicit TParamForm(QWidget* parent = nullptr);

    QPlainTextEdit* Memo1() const { return m_memo1; }
    QPlainTextEdit* Memo2() const { return m_memo2; }

    // Replaces both columns; the client height becomes 14 · (left lines) + 15.
    void setLines(const QStringList& left, const QStringList& right);
    void setLines(const std::vector<std::string>& left, const std::vector<std::string>& right);
    // Empties both columns (start of a run); the size stays.
    void clearLines();

    // Background of the window and both columns; the report makes it white
    // for its picture and restores the window colour afterwards.
    void setBackground(const QColor& colour);

protected:
    void layoutChildren() override;

private:
    QPlainTextEdit* m_memo1 = nullptr;
    QPlainTextEdit* m_memo2 = nullptr;
};

} // namespace velumo
