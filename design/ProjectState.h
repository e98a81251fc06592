#pragma once
// What the file commands of the main window keep between them: the project
// path, the driver-file path, the two flags and the window caption, and the
// part of each command that follows its dialog. Dialogs and the question
// "Aktuelle Datei speichern?" stay with the window, which asks first and then
// calls in here.

#include <string>

#include "Design.h"
#include "Directories.h"
#include "InputCheck.h"
#include "MeasurementOverlay.h"
#include "Messages.h"
#include "ProjectFile.h"
#include "Settings.h"
#include "SliderSection.h"

namespace velumo {

class ProjectState {
public:
    explicit ProjectState(Directories dirs);

    const std::string& projectPath() const { return m_projectPath; }
    const std::string& driverFilePath() const { return m_driverFilePath; }
    // "Velumo", and "Velumo" + two spaces + the project path once a project
    // was named by new, open or save-as.
    const std::string& caption() const { return m_caption; }
    std::string newProjectPath() const { return m_settings.directories().newProjectPath(); }
    const Settings& settings() const { return m_settings; }

    bool noUnsavedChanges() const { return m_noUnsavedChanges; }
    void setNoUnsavedChanges(bool on) { m_noUnsavedChanges = on; }
    bool inputsValid() const { return m_inputsValid; }
    // Undo puts back a design together with the check's verdict on it.
    void setInputsValid(bool on) { m_inputsValid = on; }
    // The sliders of the "Regler" window: read by open, written by save.
    const std::vector<SliderSetting>& sliders() const { return m_sliders; }
    void setSliders(std::vector<SliderSetting> sliders) { m_sliders = std::move(sliders); }

    // The input check with its flags: marks the design changed and keeps
    // its verdict for the start command.
    bool runCheck(Design& design, CheckSink& sink);

    // True when "Speichern" has to ask for a name instead: the project is
    // still the new file, its file is missing or read-only, or it was opened
    // from a file that holds no design (which is not written into unasked).
    bool saveNeedsDialog() const;

    // DateiOeffnen after its dialog: loads driver 1, the rest and the
    // geometry from `path`, checks, marks saved, remembers the folder. A file
    // that holds no design loads as all defaults after a "Hinweis".
    void open(const std::string& path, Design& design, WindowGeometry& geometry, CheckSink& sink);
    // DateiSpeichern when saveNeedsDialog() is false. A failed write goes to
    // the sink (caption "Fehler"), keeps the design unsaved and the old file.
    bool save(const Design& design, const WindowGeometry& geometry, MessageSink& sink);
    // DateiSpeichernUnter after its dialog. On failure the project keeps its
    // former path and caption.
    bool saveAs(
        const std::string& path, const Design& design, const WindowGeometry& geometry, MessageSink& sink);
    // DateiNeu after its question: a new, unsaved name for the same design.
    void newProject();
    // Treiber1Oeffnen after its dialog; the folder is not remembered. Both
    // driver commands load a file without driver data as the defaults, after
    // a "Hinweis".
    void openDriver1(const std::string& path, Design& design, CheckSink& sink);
    // Treiber2Oeffnen after its dialog; RGTreiber2 is left as it is.
    void openDriver2(const std::string& path, Design& design, CheckSink& sink);

    // The measurement paths as the project file stores them (open reads
    // them, save writes them); a change marks the project changed.
    const MeasurementPaths& measurements() const { return m_measurements; }
    void setMeasurementPath(MeasurementKind kind, const std::string& path);

private:
    void setProjectPath(const std::string& path);
    static IniFile readDriverFile(const std::string& path, MessageSink& sink);
    bool writeProject(
        const std::string& path, const Design& design, const WindowGeometry& geometry, MessageSink& sink);

    Settings m_settings;
    std::vector<SliderSetting> m_sliders;
    std::string m_projectPath;
    std::string m_driverFilePath;
    std::string m_caption = "Velumo";
    MeasurementPaths m_measurements;
    bool m_noUnsavedChanges = true;
    bool m_inputsValid = false;
    bool m_projectHoldsDesign = true;
};

} // namespace velumo
