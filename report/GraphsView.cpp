#include "GraphsView.h"

#include <QCoreApplication>

namespace velumo {

GraphsView::GraphsView(const Design& design, const ResultSlots& results)
    : m_design(design)
    , m_results(results)
{
    m_graphs.setRedrawHooks([] { return true; }, [this] { m_graphs.DrawGraphs(m_design, m_results); });
    for (GraphWindow* w : m_graphs.windows()) {
        // Laid out as a shown window, but never on the screen.
        w->setAttribute(Qt::WA_DontShowOnScreen);
        w->show();
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_graphs.DrawGraphs(m_design, m_results);
}

} // namespace velumo
