#include "MainWindow.h"

namespace velumo {

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Velumo"));
    resize(559, 425);
}

} // namespace velumo
