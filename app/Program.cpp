#include <QApplication>
#include <QMessageBox>

#include <exception>

#include "Directories.h"
#include "Main.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velumo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Velumo"));
    // Number texts use "." whatever the desktop's regional settings say.
    QLocale::setDefault(QLocale::c());
    try {
        velumo::TMainForm window(velumo::Environment::fromProcess(argv[0]));
        return velumo::runProgram(window);
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QStringLiteral("Velumo"), QString::fromLocal8Bit(e.what()));
    } catch (...) {
        QMessageBox::critical(nullptr, QStringLiteral("Velumo"), QStringLiteral("Unbekannter Fehler"));
    }
    return 1;
}
