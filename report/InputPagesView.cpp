#include "InputPagesView.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QTabWidget>
#include <QWidget>

#include "InputTabs.h"

namespace velumo {

InputPagesView::InputPagesView(const Design& design, bool resultsExist)
    : m_design(design)
    , m_client(std::make_unique<QWidget>())
{
    m_client->setObjectName(QStringLiteral("Client"));
    m_client->setFixedSize(kInputClientWidth, kInputClientHeight);
    m_pages = makePageControl(m_client.get());
    auto* inputs = new InputTabs(m_design, m_pages);
    inputs->refreshButton()->setEnabled(resultsExist);
    // Laid out and polished as a shown window is, but never on the screen.
    m_client->setAttribute(Qt::WA_DontShowOnScreen);
    m_client->show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

InputPagesView::~InputPagesView() = default;

} // namespace velumo
