#include <QApplication>

#include "MainWindow.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velumo"));
    velumo::MainWindow window;
    window.show();
    return QApplication::exec();
}
