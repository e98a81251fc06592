// Datei › "Messung laden …" and "Messung entfernen": a measured frequency
// response (FRD) or impedance (ZMA) shown grey and dashed under the runs'
// curves. One of each may be shown at once; the project file keeps their
// paths.

#include <QAction>

#include "GraphSet.h"
#include "Main.h"
#include "MeasurementOverlay.h"
#include "UserDialogs.h"

namespace velumo {

namespace {

// The reader's message, with the file named where the message does not
// name it yet ("Zeile 12: ...").
std::string unreadableText(const std::string& path, const std::string& error)
{
    if (error.find(path) != std::string::npos)
        return error;
    return "Die Datei " + path + " ist keine lesbare Messung.\n" + error;
}

} // namespace

void TMainForm::MessungLadenClick()
{
    const QString chosen = m_dialogs->openFileName(this, QStringLiteral("Messung laden"),
        QString::fromStdString(m_project->settings().currentFolder()),
        QStringLiteral("Messungen (*.frd *.zma *.FRD *.ZMA);;Alle Dateien (*)"));
    if (chosen.isEmpty())
        return;
    const std::string path = chosen.toStdString();
    MeasuredCurve curve;
    std::string error;
    if (!readMeasurementFile(path, &curve, &error)) {
        showMessage({ "Fehler", unreadableText(path, error) });
        return;
    }
    std::optional<MeasurementKind> kind = measurementKindOfName(path);
    if (!kind) {
        // Inside, both look alike; the user knows what was measured.
        const auto answer = m_dialogs->question(this, QStringLiteral("Messung laden"),
            QStringLiteral("Die Datei %1 endet weder auf .frd noch auf .zma.\n"
                           "Ist sie ein Frequenzgang (FRD)?\n\n"
                           "Ja: Frequenzgang (FRD), Nein: Impedanz (ZMA)")
                .arg(chosen),
            true);
        if (answer == UserDialogs::Answer::Cancel)
            return;
        kind = answer == UserDialogs::Answer::Yes ? MeasurementKind::Frd : MeasurementKind::Zma;
    }
    m_project->setMeasurementPath(*kind, path);
    showMeasurement(*kind, std::move(curve));
}

void TMainForm::MessungEntfernenClick()
{
    for (MeasurementKind kind : { MeasurementKind::Frd, MeasurementKind::Zma }) {
        if (!m_project->measurements().of(kind).empty())
            m_project->setMeasurementPath(kind, std::string());
        showMeasurement(kind, std::nullopt);
    }
}

void TMainForm::loadProjectMeasurements()
{
    // A project without measurements after one without leaves the graphs
    // as opening always did.
    if (!m_graphs->hasMeasurement() && m_project->measurements() == MeasurementPaths {}) {
        action("MessungEntfernen")->setEnabled(false);
        return;
    }
    for (MeasurementKind kind : { MeasurementKind::Frd, MeasurementKind::Zma }) {
        const std::string& stored = m_project->measurements().of(kind);
        std::optional<MeasuredCurve> curve;
        if (!stored.empty()) {
            const std::string path = resolveMeasurementPath(stored, m_project->projectPath());
            MeasuredCurve read;
            std::string error;
            if (readMeasurementFile(path, &read, &error))
                curve = std::move(read);
            else
                showMessage({ "Hinweis",
                    unreadableText(path, error)
                        + "\nDas Projekt nennt die Messung weiter; \"Messung entfernen\" "
                          "streicht sie." });
        }
        showMeasurement(kind, std::move(curve));
    }
}

void TMainForm::showMeasurement(MeasurementKind kind, std::optional<MeasuredCurve> curve)
{
    m_graphs->setMeasurement(kind, std::move(curve));
    const MeasurementPaths& paths = m_project->measurements();
    action("MessungEntfernen")->setEnabled(!paths.frd.empty() || !paths.zma.empty());
    redrawGraphs();
}

void TMainForm::redrawGraphs()
{
    if (m_results.anyFilled())
        DrawGraphs();
    else
        m_graphs->NewGrids();
    for (GraphWindow* w : m_graphs->windows())
        w->plotView()->update();
}

} // namespace velumo
