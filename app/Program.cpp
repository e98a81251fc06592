#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

#include <exception>

#include "Application.h"
#include "Directories.h"
#include "Main.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    velumo::setUpApplication(app);
    // Number texts use "." whatever the desktop's regional settings say.
    QLocale::setDefault(QLocale::c());
    try {
        velumo::TMainForm window(velumo::Environment::fromProcess(argv[0]));
        // `velumo FILE.vlm`, as the desktop entry starts it for a project.
        const QStringList arguments = QApplication::arguments();
        if (arguments.size() > 1)
            window.openAtStart(QFileInfo(arguments.at(1)).absoluteFilePath());
        return velumo::runProgram(window);
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QStringLiteral("Velumo"), QString::fromLocal8Bit(e.what()));
    } catch (...) {
        QMessageBox::critical(nullptr, QStringLiteral("Velumo"), QStringLiteral("Unbekannter Fehler"));
    }
    return 1;
}
