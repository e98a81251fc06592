#include "Settings.h"

#include "IniFile.h"

namespace velumo {

namespace {

std::string withSlash(const std::string& folder)
{
    return !folder.empty() && folder.back() == '/' ? folder : folder + "/";
}

bool storeValue(const std::string& file, const char* section, const char* key, const std::string& value,
    std::string* error)
{
    IniFile ini = IniFile::load(file);
    ini.writeString(section, key, value);
    return ini.save(file, error);
}

} // namespace

std::string Settings::currentFolder() const
{
    return IniFile::load(m_dirs.settingsFile())
        .readString("Verzeichnis", "Aktuell", withSlash(m_dirs.documents));
}

bool Settings::storeCurrentFolderOf(const std::string& filePath, std::string* error) const
{
    return storeValue(m_dirs.settingsFile(), "Verzeichnis", "Aktuell", withSlash(folderOf(filePath)), error);
}

std::string Settings::htmlFolder() const
{
    return IniFile::load(m_dirs.settingsFile())
        .readString("Verzeichnis", "html", withSlash(m_dirs.documents));
}

bool Settings::storeHtmlFolderOf(const std::string& filePath, std::string* error) const
{
    return storeValue(m_dirs.settingsFile(), "Verzeichnis", "html", withSlash(folderOf(filePath)), error);
}

bool Settings::changeColourAfterRun() const
{
    return IniFile::load(m_dirs.settingsFile()).readBool("Optionen", "CBFarbeWechseln", true);
}

bool Settings::setChangeColourAfterRun(bool on, std::string* error) const
{
    IniFile ini = IniFile::load(m_dirs.settingsFile());
    ini.writeBool("Optionen", "CBFarbeWechseln", on);
    return ini.save(m_dirs.settingsFile(), error);
}

} // namespace velumo
