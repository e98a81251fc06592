#include "DesktopOpen.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace velumo {

QString desktopOpenFailure(const QString& path, int status)
{
    const QString name = QDir::toNativeSeparators(path);
    switch (status) {
    case kOpenFileMissing:
        return QStringLiteral("Die Datei „%1“ gibt es nicht.").arg(name);
    case kOpenerMissing:
        return QStringLiteral("„%1“ lässt sich nicht öffnen: das Programm xdg-open (Paket xdg-utils) fehlt.")
            .arg(name);
    case kOpenerStopped:
        return QStringLiteral("„%1“ lässt sich nicht öffnen: xdg-open wurde abgebrochen.").arg(name);
    case kNoDesktopApplication:
        return QStringLiteral("Für „%1“ ist keine Anwendung eingerichtet, die diesen Dateityp öffnet.")
            .arg(name);
    default:
        return QStringLiteral("„%1“ lässt sich nicht öffnen (xdg-open meldet Fehler %2).")
            .arg(name)
            .arg(status);
    }
}

void openInDesktop(const QString& path, QObject* context, std::function<void(const QString&)> failed)
{
    if (!QFileInfo::exists(path)) {
        failed(desktopOpenFailure(path, kOpenFileMissing));
        return;
    }
    // No parent: a process still running when the program ends is left to
    // run, where a parent would kill it and the viewer with it.
    auto* process = new QProcess;
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    QObject::connect(
        process, &QProcess::finished, context, [path, failed](int status, QProcess::ExitStatus how) {
            if (how != QProcess::NormalExit || status != 0)
                failed(desktopOpenFailure(path, how == QProcess::NormalExit ? status : kOpenerStopped));
        });
    QObject::connect(
        process, &QProcess::errorOccurred, context, [path, failed](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                failed(desktopOpenFailure(path, kOpenerMissing));
        });
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    QObject::connect(process, &QProcess::errorOccurred, process, [process](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            process->deleteLater();
    });
    process->start(QStringLiteral("xdg-open"), { path });
}

} // namespace velumo
