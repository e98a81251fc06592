#include "ProjectState.h"

#include <sys/stat.h>
#include <unistd.h>

#include "DesignFile.h"
#include "IniFile.h"

namespace velumo {

ProjectState::ProjectState(Directories dirs)
    : m_settings(std::move(dirs))
    , m_projectPath(newProjectPath())
{
}

bool ProjectState::runCheck(Design& design, CheckSink& sink)
{
    m_noUnsavedChanges = false;
    m_inputsValid = CheckVariables(design, sink);
    return m_inputsValid;
}

bool ProjectState::saveNeedsDialog() const
{
    if (m_projectPath == newProjectPath() || !m_projectHoldsDesign)
        return true;
    struct stat st { };
    if (::stat(m_projectPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return true;
    // A file without any write permission is read-only even for a user whose
    // access check would let the write through.
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return true;
    return ::access(m_projectPath.c_str(), W_OK) != 0;
}

void ProjectState::open(const std::string& path, Design& design, WindowGeometry& geometry, CheckSink& sink)
{
    setProjectPath(path);
    m_driverFilePath = path;
    const DesignFile file = readDesignFile(path, DesignFileScope::Project);
    m_projectHoldsDesign = file.holdsDesign();
    if (!file.holdsDesign())
        sink.message(noDesignMessage(path, DesignFileScope::Project, file.problem));
    loadDesignValues(file.ini, design);
    loadWindowGeometry(file.ini, geometry);
    m_measurements = loadMeasurementPaths(file.ini);
    m_sliders = loadSliders(file.ini);
    runCheck(design, sink);
    m_noUnsavedChanges = true;
    m_settings.storeCurrentFolderOf(path);
}

bool ProjectState::save(const Design& design, const WindowGeometry& geometry, MessageSink& sink)
{
    if (!writeProject(m_projectPath, design, geometry, sink))
        return false;
    m_noUnsavedChanges = true;
    return true;
}

bool ProjectState::saveAs(
    const std::string& path, const Design& design, const WindowGeometry& geometry, MessageSink& sink)
{
    if (!writeProject(path, design, geometry, sink))
        return false;
    setProjectPath(path);
    m_projectHoldsDesign = true;
    m_noUnsavedChanges = true;
    m_settings.storeCurrentFolderOf(path);
    return true;
}

void ProjectState::newProject()
{
    setProjectPath(newProjectPath());
    m_projectHoldsDesign = true;
}

IniFile ProjectState::readDriverFile(const std::string& path, MessageSink& sink)
{
    DesignFile file = readDesignFile(path, DesignFileScope::Driver);
    if (!file.holdsDesign())
        sink.message(noDesignMessage(path, DesignFileScope::Driver, file.problem));
    return std::move(file.ini);
}

void ProjectState::openDriver1(const std::string& path, Design& design, CheckSink& sink)
{
    m_driverFilePath = path;
    loadDriver1Values(readDriverFile(path, sink), design);
    runCheck(design, sink);
}

void ProjectState::openDriver2(const std::string& path, Design& design, CheckSink& sink)
{
    m_driverFilePath = path;
    loadDriver2FromDriverFile(readDriverFile(path, sink), design);
    m_settings.storeCurrentFolderOf(path);
    runCheck(design, sink);
}

void ProjectState::setMeasurementPath(MeasurementKind kind, const std::string& path)
{
    m_measurements.of(kind) = path;
    m_noUnsavedChanges = false;
}

void ProjectState::setProjectPath(const std::string& path)
{
    m_projectPath = path;
    m_caption = "Velumo  " + path;
}

bool ProjectState::writeProject(
    const std::string& path, const Design& design, const WindowGeometry& geometry, MessageSink& sink)
{
    std::string reason;
    if (saveProjectFile(path, design, geometry, &reason, [this](IniFile& ini) {
            saveMeasurementPaths(m_measurements, ini);
            saveSliders(m_sliders, ini);
        }))
        return true;
    sink.message({ "Fehler", "Die Datei " + path + " konnte nicht gespeichert werden.\n" + reason });
    return false;
}

} // namespace velumo
