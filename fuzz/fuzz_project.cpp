// Bytes as a project file: judge whether they hold a design, load as
// "Öffnen" does, check, convert to run inputs. Never a crash; a second check
// changes nothing the user sees; saving the checked design and loading it
// again gives the same inputs (as far as Windows-1252 can hold their texts).

#include <cstddef>
#include <cstdint>
#include <string>

#include "DesignFile.h"
#include "DesignTable.h"
#include "Encoding.h"
#include "FuzzSupport.h"
#include "IniFile.h"
#include "NumberText.h"
#include "ProjectFile.h"
#include "RunInputAdapter.h"

using namespace velumo;
using velumo::fuzz::require;

namespace {

Design loadDesign(const IniFile& ini)
{
    Design d;
    loadDesignValues(ini, d);
    return d;
}

// What loading gives back for a saved text where the file's read rules
// differ from the text written: a voltage of "0" reads as the default, a
// count that is no whole number as 1; a character Windows-1252 has not
// becomes "?".
Design expectedAfterReload(const Design& d)
{
    Design e = d;
    for (const ControlSpec& s : designTable()) {
        ControlState& c = e.control(s.name);
        c.text = cp1252ToUtf8(utf8ToCp1252(c.text));
        int whole = 0;
        if (s.form == ValueForm::Voltage && (c.text == "0" || c.text.empty() || c.text == "n"))
            c.text = std::string(s.loadDefault);
        else if (s.form == ValueForm::TextReadInt)
            c.text = std::to_string(parseStrictInt(c.text, &whole) ? whole : 1);
    }
    return e;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const IniFile ini = IniFile::fromBytes(bytes);
    const DesignFile file = designFromBytes(bytes, DesignFileScope::Project);
    require(
        !file.holdsDesign() || file.ini.toBytes() == ini.toBytes(), "a design reads other than its profile");
    Design design = loadDesign(ini);
    WindowGeometry geometry;
    loadWindowGeometry(ini, geometry);

    fuzz::KeepingCheckSink sink;
    const bool valid = CheckVariables(design, sink);

    Design again = design;
    fuzz::KeepingCheckSink sinkAgain;
    const bool validAgain = CheckVariables(again, sinkAgain);
    std::string diff;
    require(fuzz::sameInputs(design, again, &diff), "a second check changed an input", diff);
    // A refused flare law is replaced by one the check admits, so the
    // second check may accept what the first refused, never the reverse.
    require(!valid || validAgain, "a second check refused what the first accepted");

    // The checked design survives a save and a load.
    IniFile saved;
    saveValues(design, geometry, saved);
    const std::string savedBytes = saved.toBytes();
    // Windows-1252 bytes that happen to be valid UTF-8 read as UTF-8.
    if (!IniFile::readsAsUtf8(savedBytes)) {
        Design reloaded = loadDesign(IniFile::fromBytes(savedBytes));
        WindowGeometry geometryReloaded;
        loadWindowGeometry(IniFile::fromBytes(savedBytes), geometryReloaded);
        require(fuzz::sameInputs(expectedAfterReload(design), reloaded, &diff),
            "save and load changed an input", diff);
        require(geometryReloaded == geometry, "save and load changed the window geometry");
    }

    RunInput in = readRunInput(design);
    require(in.freqPoints >= 2 && in.freqPoints <= 170, "frequency resolution outside the checked range");
    return 0;
}
