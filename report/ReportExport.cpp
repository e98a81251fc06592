#include "ReportExport.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QSaveFile>
#include <QTabWidget>
#include <QWidget>

#include <algorithm>
#include <memory>

#include "DesktopOpen.h"
#include "GraphsView.h"
#include "HtmlReport.h"
#include "InputPagesView.h"
#include "JpegWriter.h"
#include "Settings.h"
#include "WindowPlacement.h"

namespace velumo {

namespace {

// 421 × 260 as the resize rule of the graph windows snaps it.
const QSize kGraphOuterSize(420, 260);
const int kTabLeft = 12;
const int kTabTop = 32;
const int kTabBottom = 372;
// Right edge of the crop per tab, in the order of ReportSources::tabPages;
// a page reaching further widens (or lengthens) its picture.
const std::array<int, 4> kTabRight { 512, 542, 542, 542 };

// Lets geometry and paint requests of a resized window settle before the
// capture; user input waits until the command is done.
void settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// A widget's own palette, put back as it was (including whether it was set
// on the widget or inherited).
class PaletteGuard {
public:
    explicit PaletteGuard(QWidget* w)
        : m_widget(w)
        , m_palette(w->palette())
        , m_wasSet(w->testAttribute(Qt::WA_SetPalette))
        , m_autoFill(w->autoFillBackground())
    {
    }
    ~PaletteGuard()
    {
        m_widget->setPalette(m_palette);
        if (!m_wasSet)
            m_widget->setAttribute(Qt::WA_SetPalette, false);
        m_widget->setAutoFillBackground(m_autoFill);
    }
    PaletteGuard(const PaletteGuard&) = delete;
    PaletteGuard& operator=(const PaletteGuard&) = delete;

    void makeWhite()
    {
        QPalette white = m_palette;
        white.setColor(QPalette::Window, Qt::white);
        white.setColor(QPalette::Base, Qt::white);
        m_widget->setPalette(white);
        m_widget->setAutoFillBackground(true);
    }

private:
    QWidget* m_widget;
    QPalette m_palette;
    bool m_wasSet;
    bool m_autoFill;
};

// Remembers a window's size and restores it, after the colours, also when a
// capture failed. The window's state never changes: a minimised window is
// resized while hidden (an X11 window manager restores a minimised window
// that is resized, and would place it anew), so it stays minimised where it
// was; a window on the screen is resized in place.
class WindowGuard {
public:
    explicit WindowGuard(QWidget* w)
        : m_window(w)
        , m_size(w->size())
    {
    }
    ~WindowGuard()
    {
        m_palettes.clear();
        m_window->resize(m_size);
        if (m_offScreen)
            m_window->showMinimized();
        settle();
    }
    WindowGuard(const WindowGuard&) = delete;
    WindowGuard& operator=(const WindowGuard&) = delete;

    void whiten(QWidget* w)
    {
        m_palettes.push_back(std::make_unique<PaletteGuard>(w));
        m_palettes.back()->makeWhite();
    }

    void resize(QSize size)
    {
        if (!m_offScreen && m_window->isVisible() && m_window->isMinimized()) {
            m_offScreen = true;
            m_window->hide();
        }
        m_window->resize(size);
        settle();
    }

private:
    QWidget* m_window;
    QSize m_size;
    bool m_offScreen = false;
    std::vector<std::unique_ptr<PaletteGuard>> m_palettes;
};

// The client area in logical pixels, whatever the screen's pixel ratio.
QImage captureClient(QWidget* w)
{
    QPixmap shot = w->grab();
    QImage image = shot.toImage();
    if (shot.devicePixelRatio() != 1.0) {
        image = image.scaled(w->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        image.setDevicePixelRatio(1.0);
    }
    return image;
}

QString pictureError(const QString& path, const QString& reason)
{
    return QStringLiteral("Das Bild \"%1\" konnte nicht gespeichert werden: %2")
        .arg(QDir::toNativeSeparators(path), reason);
}

bool savePicture(const QImage& image, const QString& folder, const char* name, QString* error)
{
    const QString path = folder + QLatin1Char('/') + QLatin1String(name);
    QString reason;
    if (writeJpeg(image, path, &reason))
        return true;
    *error = pictureError(path, reason);
    return false;
}

bool captureGraphWindow(QWidget* w, const QString& folder, const char* name, QString* error)
{
    const QSize frame = outerFrame(w).size() - w->size();
    WindowGuard guard(w);
    guard.resize(kGraphOuterSize - frame);
    guard.whiten(w);
    return savePicture(captureClient(w), folder, name, error);
}

bool captureParamWindow(const ReportSources& s, const QString& folder, QString* error)
{
    WindowGuard guard(s.paramWindow);
    guard.whiten(s.paramWindow);
    for (QWidget* column : s.paramColumns)
        guard.whiten(column);
    return savePicture(captureClient(s.paramWindow), folder, "Param.jpg", error);
}

// The drop-down texts on a white ground, with the top left at `at`.
void writeComboText(QPainter& painter, QPoint at, const QString& text)
{
    if (text.isEmpty())
        return;
    const QFontMetrics metrics = painter.fontMetrics();
    const QRect box(at, QSize(metrics.horizontalAdvance(text), metrics.height()));
    painter.fillRect(box, Qt::white);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text);
}

// The crop of a tab picture in client coordinates: from (12, 32) to the
// stated right edge and y = 372, or to the page's own edges where it reaches
// further, so that every control of the page is in the picture.
QRect tabCrop(const ReportSources& s, int page, int right)
{
    QRect crop(QPoint(kTabLeft, kTabTop), QPoint(right - 1, kTabBottom - 1));
    if (const QWidget* w = s.pageControl->widget(page)) {
        const QRect shown(w->mapTo(s.mainClient, QPoint(0, 0)), w->size());
        crop.setRight(std::max(crop.right(), shown.right()));
        crop.setBottom(std::max(crop.bottom(), shown.bottom()));
    }
    return crop;
}

QImage tabPicture(const ReportSources& s, const QRect& crop)
{
    const QImage shot = captureClient(s.mainClient).convertToFormat(QImage::Format_RGB32);
    const QRgb background = s.mainClient->palette().color(QPalette::Window).rgb() & RGB_MASK;
    QImage picture(crop.size(), QImage::Format_RGB32);
    picture.fill(Qt::white);
    for (int y = 0; y < picture.height(); ++y) {
        const int sy = y + crop.top();
        if (sy >= shot.height())
            break;
        const auto* src = reinterpret_cast<const QRgb*>(shot.constScanLine(sy));
        auto* dst = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width() && x + crop.left() < shot.width(); ++x) {
            const QRgb px = src[x + crop.left()];
            dst[x] = (px & RGB_MASK) == background ? qRgb(255, 255, 255) : px;
        }
    }
    return picture;
}

bool captureTabs(const ReportSources& s, const QString& folder, QString* error)
{
    QTabWidget* pages = s.pageControl;
    const int active = pages->currentIndex();
    struct TabRestore {
        QTabWidget* pages;
        int index;
        ~TabRestore() { pages->setCurrentIndex(index); }
    } restore { pages, active };

    for (size_t i = 0; i < s.tabPages.size(); ++i) {
        pages->setCurrentIndex(s.tabPages[i]);
        settle();
        QImage picture = tabPicture(s, tabCrop(s, s.tabPages[i], kTabRight[i]));
        if (i == 1 && s.writeDropDownTexts) { // the horn tab
            QPainter painter(&picture);
            painter.setFont(s.mainClient->font());
            painter.setPen(Qt::black);
            writeComboText(painter, QPoint(25, 34), s.typText);
            writeComboText(painter, QPoint(25, 59), s.konturText);
            writeComboText(painter, QPoint(415, 184), s.posiText);
        }
        if (!savePicture(picture, folder, kTabPictures[i], error))
            return false;
    }
    return true;
}

bool writeHtmlFile(const QString& path, const QByteArray& html, QString* error)
{
    // Written beside the target and renamed at the end, so a failure leaves
    // the former report (or none) rather than half a page.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(html) == html.size() && file.commit())
        return true;
    *error = QStringLiteral("Die Datei \"%1\" konnte nicht geschrieben werden: %2")
                 .arg(QDir::toNativeSeparators(path), file.errorString());
    return false;
}

ReportTexts textsOf(const ReportSources& s, const QString& folderRef, const QDateTime& now)
{
    auto caption = [&](WindowId w) {
        const QWidget* window = s.windows[static_cast<size_t>(w)];
        return window ? window->windowTitle() : QString();
    };
    ReportTexts t;
    t.info = s.info;
    t.dateTime = reportDateTime(now);
    t.projectPath = QDir::toNativeSeparators(s.projectPath);
    t.folderRef = folderRef;
    t.sketchCaption = caption(WindowId::Sketch);
    t.splCaption = caption(WindowId::Spl);
    t.zelCaption = caption(WindowId::Zel);
    t.auslCaption = caption(WindowId::Ausl);
    t.pmaxCaption = caption(WindowId::Pmax);
    t.splMaxCaption = caption(WindowId::SplMax);
    t.phiaCaption = caption(WindowId::Phia);
    t.znormCaption = caption(WindowId::Znorm);
    t.paramCaption = s.paramWindow ? s.paramWindow->windowTitle() : QString();
    t.pageHint = s.pageHint;
    t.driverHint = s.driverHint;
    t.hornCaption = s.hornCaption;
    t.crossoverHint = s.crossoverHint;
    t.axesHint = s.axesHint;
    return t;
}

} // namespace

bool writeReportPictures(const QString& folder, const ReportSources& s, QString* error)
{
    // The graphs of results are drawn on their own, from the slots and the
    // design.
    std::unique_ptr<GraphsView> graphs;
    std::array<QWidget*, kReportWindowCount> windows = s.windows;
    if (s.design && s.results && s.resultsExist) {
        graphs = std::make_unique<GraphsView>(*s.design, *s.results);
        for (WindowId g : kGraphWindows)
            windows[static_cast<size_t>(g)] = &graphs->window(g);
    }
    for (size_t w = 0; w < windows.size(); ++w) {
        if (!windows[w]) {
            *error = QStringLiteral("Fenster für \"%1\" fehlt.").arg(QLatin1String(kReportPictures[w]));
            return false;
        }
        if (!captureGraphWindow(windows[w], folder, kReportPictures[w], error))
            return false;
    }
    // The input pages of a design are drawn on their own, whatever the
    // window shows of them at the moment.
    std::unique_ptr<InputPagesView> own;
    ReportSources tabs = s;
    if (s.design) {
        own = std::make_unique<InputPagesView>(*s.design, s.resultsExist);
        tabs.mainClient = own->client();
        tabs.pageControl = own->pages();
    }
    if (!s.paramWindow || !tabs.mainClient || !tabs.pageControl) {
        *error = QStringLiteral("Fenster für den Bericht fehlen.");
        return false;
    }
    return captureParamWindow(s, folder, error) && captureTabs(tabs, folder, error);
}

ReportOutcome exportHtmlReport(const QString& reportPath, const ReportSources& sources,
    const Settings* settings, ReportUi& ui, const QDateTime& now)
{
    ReportOutcome outcome;
    if (settings)
        settings->storeHtmlFolderOf(reportPath.toStdString());
    const QString folder = pictureFolderFor(reportPath);
    // A failure here shows as the first picture that cannot be saved.
    QDir().mkpath(folder);

    if (!writeReportPictures(folder, sources, &outcome.error)) {
        ui.message(QStringLiteral("Fehler"), outcome.error);
        return outcome;
    }
    const QByteArray html = buildReportHtml(textsOf(sources, folderReference(folder), now));
    if (!writeHtmlFile(reportPath, html, &outcome.error)) {
        ui.message(QStringLiteral("Fehler"), outcome.error);
        return outcome;
    }
    outcome.written = true;
    if (ui.askYesNo(QStringLiteral("HTML"), QStringLiteral("HTML anzeigen?")))
        ui.openWithDesktop(reportPath);
    return outcome;
}

void HTMLExport1Click(const ReportSources& sources, const Settings& settings, ReportUi& ui)
{
    const QString path
        = ui.saveFileName(QStringLiteral("HTML-Export"), QString::fromStdString(settings.htmlFolder()),
            QStringLiteral("HTML-Bericht (*.html)"), QStringLiteral("html"));
    if (path.isEmpty())
        return;
    exportHtmlReport(path, sources, &settings, ui);
}

QString QtReportUi::saveFileName(
    const QString& title, const QString& startFolder, const QString& filter, const QString& defaultSuffix)
{
    QFileDialog dialog(m_parent, title, startFolder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

void QtReportUi::message(const QString& caption, const QString& text)
{
    QMessageBox::critical(m_parent, caption, text);
}

bool QtReportUi::askYesNo(const QString& caption, const QString& text)
{
    return QMessageBox::question(m_parent, caption, text, QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

void QtReportUi::openWithDesktop(const QString& path)
{
    // This object ends with the export; the window may end before the answer.
    QPointer<QWidget> parent = m_parent;
    openInDesktop(path, m_parent ? static_cast<QObject*>(m_parent) : qApp,
        [parent](const QString& text) { QMessageBox::critical(parent, QStringLiteral("Fehler"), text); });
}

} // namespace velumo
