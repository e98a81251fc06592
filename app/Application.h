#pragma once
// Velumo on the desktop: its name, Qt's own dialogs in German, its icon and
// where "Handbuch" finds the manual.

#include <QIcon>
#include <QStringList>

class QApplication;

namespace velumo {

// Names the program, loads Qt's German texts (standard buttons, file
// dialogs, edit-box menus) and gives every window the program icon. No
// display name is set: Qt would append it to every window title. False
// when Qt's German translation is not installed.
bool setUpApplication(QApplication& app);

// The horn of data/icons/velumo.svg, drawn at the usual icon sizes.
QIcon programIcon();

// Where the manual may lie, in the order "Handbuch" looks: the installed
// share/velumo/manual beside the executable's bin folder (any prefix), then,
// for a program run from its build folder, docs/manual of the source tree.
QStringList manualCandidates(const QString& executablePath);
// The first candidate that exists, else an empty text.
QString findManual(const QString& executablePath);

} // namespace velumo
