#include "Application.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QPainter>
#include <QSvgRenderer>
#include <QTranslator>

namespace velumo {

bool setUpApplication(QApplication& app)
{
    QApplication::setApplicationName(QStringLiteral("Velumo"));
    QApplication::setWindowIcon(programIcon());
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qt_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QApplication::installTranslator(translator);
    return true;
}

QIcon programIcon()
{
    // Drawn here rather than by Qt's SVG icon plugin, which a desktop may
    // lack; the package depends on the SVG library through this call.
    QSvgRenderer svg(QStringLiteral(":/velumo/velumo.svg"));
    QIcon icon;
    if (!svg.isValid())
        return icon;
    for (int size : { 16, 22, 24, 32, 48, 64, 128, 256 }) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        svg.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QStringList manualCandidates(const QString& executablePath)
{
    const QString bin = QFileInfo(executablePath).absolutePath();
    QStringList list { QDir::cleanPath(bin + QStringLiteral("/../share/velumo/manual/index.html")) };
#if defined(VELUMO_BUILD_DIR) && defined(VELUMO_SOURCE_DIR)
    const QString build = QDir::cleanPath(QStringLiteral(VELUMO_BUILD_DIR));
    if (bin == build || bin.startsWith(build + QLatin1Char('/')))
        list << QDir::cleanPath(QStringLiteral(VELUMO_SOURCE_DIR "/docs/manual/index.html"));
#endif
    return list;
}

QString findManual(const QString& executablePath)
{
    for (const QString& path : manualCandidates(executablePath))
        if (QFileInfo(path).isFile())
            return path;
    return QString();
}

} // namespace velumo
