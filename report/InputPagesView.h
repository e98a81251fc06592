#pragma once
// The input pages on their own, as the main window shows them: the report
// draws its tab pictures from a design without a main window.

#include <memory>

#include "Design.h"

class QTabWidget;
class QWidget;

namespace velumo {

class InputPagesView {
public:
    // `resultsExist`: whether "Aktualisieren" is enabled, as after a run.
    InputPagesView(const Design& design, bool resultsExist);
    ~InputPagesView();
    InputPagesView(const InputPagesView&) = delete;
    InputPagesView& operator=(const InputPagesView&) = delete;

    // The client area of the main window's size with the page control where
    // the window has it.
    QWidget* client() const { return m_client.get(); }
    QTabWidget* pages() const { return m_pages; }

private:
    Design m_design; // a copy: the pictures never write back
    std::unique_ptr<QWidget> m_client;
    QTabWidget* m_pages = nullptr;
};

} // namespace velumo
