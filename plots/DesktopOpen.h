#pragma once
// Hands a file (the manual, a list, a report) to the desktop's application
// for its type. QDesktopServices only tells whether xdg-open started, so a
// desktop without such an application showed nothing at all; here the user
// is told.

#include <QString>

#include <functional>

class QObject;

namespace velumo {

// xdg-open's exit status when it found no application for the file.
inline constexpr int kNoDesktopApplication = 3;
// What desktopOpenFailure takes for a file that is missing, for xdg-open
// that cannot be started, and for xdg-open ended by a signal.
inline constexpr int kOpenFileMissing = -1;
inline constexpr int kOpenerMissing = -2;
inline constexpr int kOpenerStopped = -3;

// The message for a failed opening of `path`: xdg-open's exit status, or one
// of the cases above.
QString desktopOpenFailure(const QString& path, int status);

// Starts xdg-open on `path` and returns at once. When the file is missing
// `failed` gets its message right away; when xdg-open cannot be started or
// ends with an error, later from the event loop, as long as `context` lives.
// A viewer xdg-open keeps in the foreground outlives this program.
void openInDesktop(const QString& path, QObject* context, std::function<void(const QString&)> failed);

} // namespace velumo
