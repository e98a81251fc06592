#include "MainWindowSources.h"

#include <QComboBox>
#include <QMainWindow>
#include <QTabWidget>

#include "GraphSet.h"
#include "ParamWindow.h"
#include "SkizzeWindow.h"

namespace velumo {

namespace {

QString comboText(const QMainWindow& main, const char* name)
{
    const auto* box = main.findChild<QComboBox*>(QLatin1String(name));
    return box ? box->currentText() : QString();
}

void takeHint(QString& hint, const QString& toolTip)
{
    if (!toolTip.isEmpty())
        hint = toolTip;
}

} // namespace

ReportSources mainWindowSources(QMainWindow& main, GraphSet& graphs, TSkizzeForm& sketch, TParamForm& param,
    const QString& info, const QString& projectPath)
{
    ReportSources s;
    s.windows[static_cast<size_t>(WindowId::Sketch)] = &sketch;
    s.windows[static_cast<size_t>(WindowId::Spl)] = &graphs.spl();
    s.windows[static_cast<size_t>(WindowId::Zel)] = &graphs.zel();
    s.windows[static_cast<size_t>(WindowId::Ausl)] = &graphs.ausl();
    s.windows[static_cast<size_t>(WindowId::Pmax)] = &graphs.pmax();
    s.windows[static_cast<size_t>(WindowId::SplMax)] = &graphs.splMax();
    s.windows[static_cast<size_t>(WindowId::Phia)] = &graphs.phia();
    s.windows[static_cast<size_t>(WindowId::Znorm)] = &graphs.znorm();
    s.paramWindow = &param;
    s.paramColumns = { param.Memo1(), param.Memo2() };
    s.mainClient = main.centralWidget() ? main.centralWidget() : &main;
    s.pageControl = main.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    if (!s.pageControl)
        s.pageControl = main.findChild<QTabWidget*>();
    s.writeDropDownTexts = false;
    s.typText = comboText(main, "CBTyp");
    s.konturText = comboText(main, "CBKontur");
    s.posiText = comboText(main, "CBPosi");
    s.info = info;
    s.projectPath = projectPath;
    if (s.pageControl) {
        takeHint(s.pageHint, s.pageControl->toolTip());
        takeHint(s.driverHint, s.pageControl->tabToolTip(s.tabPages[0]));
        takeHint(s.crossoverHint, s.pageControl->tabToolTip(s.tabPages[2]));
        takeHint(s.axesHint, s.pageControl->tabToolTip(s.tabPages[3]));
    }
    return s;
}

} // namespace velumo
