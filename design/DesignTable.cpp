#include "DesignTable.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

namespace velumo {

namespace {

constexpr std::string_view kTreiber = "&Treiber";
constexpr std::string_view kHorn = "&Horn";
constexpr std::string_view kWeiche = "&Frequenzweiche";
constexpr std::string_view kAchsen = "&Achsen";

// Builders keep each table row on one line.
ControlSpec edit(std::string_view name, std::string_view tab, std::string_view group, int order,
    std::string_view caption, std::string_view hint, std::string_view unit, std::string_view def,
    std::string_view section, std::string_view key, std::string_view loadDef, std::string_view loadFrom = {},
    bool check = true, ValueForm form = ValueForm::Text)
{
    return ControlSpec { name, ControlKind::Edit, tab, group, order, caption, hint, unit, def, -1, false,
        true, {}, check, section, key, form, loadDef, loadFrom, {} };
}

// A driver-2 box: same caption, unit and default as its driver-1 twin, whose
// text is also its default on load.
ControlSpec edit2(const ControlSpec& twin, std::string_view name, std::string_view key, int order,
    std::string_view hint = {}, std::string_view def = {})
{
    ControlSpec s = twin;
    s.name = name;
    s.group = "Treiber2";
    s.uiOrder = order;
    s.section = "Treiber2";
    s.key = key;
    s.form = ValueForm::Text;
    s.loadDefault = {};
    s.loadDefaultFrom = twin.name;
    s.twin = twin.name;
    if (!hint.empty())
        s.hint = hint;
    if (!def.empty())
        s.defaultText = def;
    return s;
}

ControlSpec combo(std::string_view name, std::string_view tab, std::string_view group, int order,
    std::string_view hint, std::vector<std::string_view> items, int def, bool check, std::string_view section,
    std::string_view key)
{
    return ControlSpec { name, ControlKind::Combo, tab, group, order, {}, hint, {}, {}, def, false, true,
        std::move(items), check, section, key, ValueForm::ComboPlus1, "1", {}, {} };
}

ControlSpec checkBox(std::string_view name, std::string_view tab, std::string_view group, int order,
    std::string_view caption, std::string_view hint, bool checked, bool enabled, bool check,
    std::string_view section, std::string_view key, bool loadDef, ValueForm form = ValueForm::Boolean)
{
    return ControlSpec { name, ControlKind::Check, tab, group, order, caption, hint, {}, {}, -1, checked,
        enabled, {}, check, section, key, form, loadDef ? "1" : "0", {}, {} };
}

ControlSpec grid(std::string_view name, std::string_view tab, std::string_view group, int order,
    std::string_view hint, std::string_view section)
{
    return ControlSpec { name, ControlKind::Grid, tab, group, order, {}, hint, {}, {}, -1, false, true, {},
        true, section, {}, ValueForm::GridCells, {}, {}, {} };
}

std::vector<ControlSpec> buildTable()
{
    std::vector<ControlSpec> t;
    const std::string_view L = "Lautsprecher";
    const std::string_view H = "Horn";
    // Driver 1
    t.push_back(edit("EditRdc", kTreiber, "Treiber1", 0, "Rdc", "Gleichstromwiderstand", "Ω", "8", L,
        "Gleichstromwiderstand", "8"));
    t.push_back(edit("Editfs", kTreiber, "Treiber1", 1, "fs", "Resonanzfrequenz", "Hz", "50", L,
        "Freiluftresonanzfrequenz", "100"));
    t.push_back(edit("EditQes", kTreiber, "Treiber1", 2, "Qes", "Elektrische Güte", "-", "0.71", L,
        "elektrische Güte", "0.71"));
    t.push_back(edit("EditQms", kTreiber, "Treiber1", 3, "Qms", "Mechanische Güte", "-", "0.71", L,
        "mechanische Güte", "0.71"));
    t.push_back(edit("EditVas", kTreiber, "Treiber1", 4, "Vas", "Äquivalentvolumen", "l", "60", L,
        "Äquivalentvolumen", "60"));
    t.push_back(edit("EditPmax", kTreiber, "Treiber1", 5, "Pmax", "Elektrische Belastbarkeit", "W", "100", L,
        "el. Belastbarkeit", "100"));
    t.push_back(edit(
        "EditSd", kTreiber, "Treiber1", 6, "Sd", "Membranfläche", "cm²", "200", L, "Membranfläche", "200"));
    t.push_back(edit("EditZ1k", kTreiber, "Treiber1", 7, "Z1k", "El. Impedanz bei 1kHz", "Ω", "8", L,
        "Impedanz bei 1kHz", {}, "EditRdc"));
    t.push_back(edit("EditZ10k", kTreiber, "Treiber1", 8, "Z10k", "El. Impedanz bei 10 kHz", "Ω", "8", L,
        "Impedanz bei 10kHz", {}, "EditRdc"));
    t.push_back(edit("EditXmax", kTreiber, "Treiber1", 9, "Xmax +/-", "Lineare Auslenkung", "mm", "2", L,
        "lineare Auslenkung", "2"));
    t.push_back(edit("EditStk", kTreiber, "Treiber1", 10, "", "Anzahl Treiber1", "Stück", "1", L,
        "Anzahl der Chassis", "1", {}, true, ValueForm::TextReadInt));
    t.push_back(edit(
        "EditLSInfo", kTreiber, "Treiber1", 11, "", "Info Treiber", "", "Info1", L, "LSInfo", "", {}, false));
    // Driver 2
    auto twin = [&](std::string_view n) {
        return *std::find_if(t.begin(), t.end(), [&](const ControlSpec& s) { return s.name == n; });
    };
    t.push_back(edit2(twin("EditRdc"), "EditRdc2", "Rdc2", 0));
    t.push_back(edit2(twin("Editfs"), "Editfs2", "fs2", 1));
    t.push_back(edit2(twin("EditQes"), "EditQes2", "Qes2", 2));
    t.push_back(edit2(twin("EditQms"), "EditQms2", "Qms2", 3));
    t.push_back(edit2(twin("EditVas"), "EditVas2", "Vas2", 4));
    t.push_back(edit2(twin("EditPmax"), "EditPmax2", "Pmax2", 5));
    t.push_back(edit2(twin("EditSd"), "EditSd2", "Sd2", 6));
    t.push_back(edit2(twin("EditZ1k"), "EditZ1k2", "Z1k2", 7));
    t.push_back(edit2(twin("EditZ10k"), "EditZ10k2", "Z10k2", 8));
    t.push_back(edit2(twin("EditXmax"), "EditXmax2", "Xmax2", 9));
    t.push_back(edit2(twin("EditStk"), "EditStk2", "Stk2", 10, "Anzahl Treiber2"));
    t.push_back(edit2(twin("EditLSInfo"), "EditLSInfo2", "LSInfo2", 11, {}, "Info2"));
    t.push_back(ControlSpec { "RGTreiber2", ControlKind::Radio, kTreiber, "Treiber2", 12, "Treiber2", {}, {},
        {}, 0, false, true, { "Ohne", "Wie Treiber1", "Werte lt. Liste" }, true, "Treiber2", "GroupIndex",
        ValueForm::RadioIndex, "0", {}, {} });
    t.push_back(checkBox("CBumdrehen", kTreiber, "Treiber2", 13, "Umdrehen", {}, false, true, true,
        "Treiber2", "Umdrehen", false));
    t.push_back(checkBox("CBT2SkizzeOben", kTreiber, "Treiber2", 14, "Skizze oben", {}, false, false, false,
        "Treiber2", "SkizzeOben", false));
    // Voltage, then the horn tab in file order
    t.push_back(edit("EditUe", kTreiber, "Treiber1", 12, "Ue", "Eingangsspannung", "V", "2.83", "Spannung",
        "Volt", "2.83", {}, true, ValueForm::Voltage));
    t.push_back(combo("CBKontur", kHorn, "Horn", 7, "Kontur",
        { "Parabolisch", "Konisch", "Exponentiell", "Hyperbolisch", "Oktal hyperbol.", "Geometrisch",
            "Traktrix" },
        0, true, H, "Kontur"));
    t.push_back(combo("CBPosi", kHorn, "Aufstellung", 0, "Position",
        { "Frei", "Boden", "Halbraum", "Boden + Wand", "Ecke" }, 2, false, "Raumposition", "Position"));
    t.push_back(edit("EditAbst", kHorn, "Aufstellung", 1, "Abstand", "Abstand Mic->Hornmund", "m", "1",
        "Raumposition", "Abstand", "1"));
    t.push_back(
        edit("EditInfo", kHorn, "Horn", 10, "", "Projektinfo", "", "Horn Info", H, "Info", "", {}, false));
    t.push_back(
        combo("CBTyp", kHorn, "Horn", 8, "Horn Typ", { "Frontloaded", "Rearloaded" }, 0, true, H, "Typ"));
    t.push_back(edit("EditVrk", kHorn, "Vor-/Rückkammer", 3, "VRK", "Rückkammervolumen", "l", "20", H,
        "Rückkammervolumen", {}, "EditVas"));
    t.push_back(
        edit("EditLrk", kHorn, "Vor-/Rückkammer", 4, "LRK", "Rückkammerlänge", "m", "0.2", H, "Lrk", "0"));
    t.push_back(edit(
        "EditBrk", kHorn, "Vor-/Rückkammer", 5, "ßRK", "Rückkammerdämpfung", "-", "500", H, "Brk", "500"));
    t.push_back(
        edit("Editfbr", kHorn, "Vor-/Rückkammer", 7, "fBR", "Bassreflexfrequenz", "Hz", "0", H, "fbr", "0"));
    t.push_back(edit(
        "EditAbr", kHorn, "Vor-/Rückkammer", 6, "ABR", "Bassreflexkanalfläche", "cm²", "0", H, "Abr", "0"));
    t.push_back(
        edit("EditBbr", kHorn, "Vor-/Rückkammer", 8, "ßBR", "Bassreflexdämpfung", "-", "0", H, "Bbr", "0"));
    t.push_back(edit("EditVvk", kHorn, "Vor-/Rückkammer", 0, "VVK", "Vorkammervolumen", "l", "0", H,
        "Vorkammervolumen", "0"));
    t.push_back(
        edit("EditLvk", kHorn, "Vor-/Rückkammer", 1, "LVK", "Vorkammerlänge", "m", "0", H, "Lvk", "0"));
    t.push_back(
        edit("EditBvk", kHorn, "Vor-/Rückkammer", 2, "ßVK", "Vorkammerdämpfung", "-", "0", H, "Bvk", "0"));
    t.push_back(edit("EditxT1", kHorn, "Horn", 6, "xT1", "PositionTreiber1", "m", "0", H, "SP", "0"));
    t.push_back(checkBox("CBAK", kHorn, "Absorberkammer", 0, "mit AK", "mit/ohne Absorberkammer", false, true,
        true, H, "AK", false));
    t.push_back(edit(
        "EditxAK", kHorn, "Absorberkammer", 5, "xAK", "Position Absorberkammer", "m", "0", H, "AKP", "0"));
    t.push_back(
        edit("EditVAK", kHorn, "Absorberkammer", 1, "VAK", "Absorberkammervolumen", "l", "0", H, "Vab", "0"));
    t.push_back(
        edit("EditfAK", kHorn, "Absorberkammer", 3, "fAK", "Absorberfrequenz", "Hz", "0", H, "fab", "0"));
    t.push_back(edit(
        "EditAAT", kHorn, "Absorberkammer", 2, "AAT", "Absorbertunnelfläche", "cm²", "0", H, "Aab", "0"));
    t.push_back(
        edit("EditBAK", kHorn, "Absorberkammer", 4, "ßAK", "Absorberdämpfung", "-", "0", H, "Bab", "0"));
    t.push_back(checkBox("CBAKSkizzeOben", kHorn, "Absorberkammer", 6, "Skizze oben", {}, true, false, false,
        H, "AKSkizzeOben", true));
    t.push_back(
        edit("EditAh", kHorn, "Horn", 0, "AH", "Halsfläche", "cm²", "200", H, "Halsfläche", {}, "EditSd"));
    t.push_back(edit("Editl1", kHorn, "Horn", 1, "L", "Hornlänge", "m", "0", H, "Hornlänge", "0"));
    t.push_back(edit("EditBeta1", kHorn, "Horn", 4, "ß1", "Dämpfung am Hals", "-", "0", H, "betha1", "0"));
    t.push_back(edit("EditBeta2", kHorn, "Horn", 5, "ß2", "Dämpfung am Mund", "-", "0", H, "betha2", "0"));
    t.push_back(edit("EditH", kHorn, "Horn", 2, "H", "Mundhöhe", "cm", "20", H, "Mundhöhe", {}, "EditSd"));
    t.push_back(edit("EditB", kHorn, "Horn", 3, "B", "Mundbreite", "cm", "10", H, "Mundbreite", "1"));
    t.push_back(
        edit("EditdL", kHorn, "Aufstellung", 2, "dL1", "Wegdifferenz", "m", "0", H, "Differenzlänge", "0"));
    t.push_back(checkBox("CBMundGeschl", kHorn, "Horn", 9, "Mund geschl.", "Hornmund geschlossen", false,
        true, true, H, "MundGeschl", false));
    t.push_back(checkBox("CBRK2", kHorn, "Treiber2/Rückk.2", 2, "mit RK2", "mit/ohne Rückkammer2", false,
        false, true, H, "RK2", false, ValueForm::BooleanReadInt));
    t.push_back(edit(
        "EditVrk2", kHorn, "Treiber2/Rückk.2", 1, "VRK2", "Rückkammervolumen", "l", "20", H, "Vrk2", "20"));
    t.push_back(edit("EditdL2", kHorn, "Aufstellung", 3, "dL2", "Wegdifferenz", "m", "0", H, "dL2", "0"));
    t.push_back(
        edit("EditxT2", kHorn, "Treiber2/Rückk.2", 0, "xT2", "Position Treiber2", "m", "0", H, "TP2", "0"));
    // Extra tunnel
    t.push_back(checkBox("CBET", kHorn, "Extratunnel", 0, "mit ET", "mit/ohne Extratunnel", false, true, true,
        "ET", "ET", false));
    t.push_back(
        edit("EditxET", kHorn, "Extratunnel", 5, "xET", "Position Extratunnel", "m", "0", "ET", "xET", "0"));
    t.push_back(
        edit("EditLET", kHorn, "Extratunnel", 2, "LET", "Abzweiglänge", "m", "0", "ET", "LET", "0.01"));
    t.push_back(edit("EditdLET", kHorn, "Aufstellung", 4, "dLET", "Differenzlänge Extratunnel", "m", "0",
        "ET", "dLET", "0"));
    t.push_back(
        edit("EditAET", kHorn, "Extratunnel", 1, "AET", "Zusatztunnelfläche", "cm²", "0", "ET", "AET", "10"));
    t.push_back(
        edit("EditBET", kHorn, "Extratunnel", 3, "ßET", "Zusatztunneldämpfung", "-", "0", "ET", "BET", "0"));
    t.push_back(checkBox("CBETSkizzeOben", kHorn, "Extratunnel", 6, "Skizze oben", {}, true, false, false,
        "ET", "SkizzeOben", true));
    // Crossover switch (the grid cells follow it in the file); a click marks
    // the design as changed, so it runs the check like the other boxes.
    t.push_back(checkBox("CBohneFW", kWeiche, "Frequenzweiche", 0, "Frequenzweiche ignorieren", {}, false,
        true, true, kSectionCrossover, "Ignorieren", false));
    t.push_back(grid("FWGrid", kWeiche, "Frequenzweiche", 1, {}, kSectionCrossover));
    t.push_back(grid("MinMaxGrid", kAchsen, "Achsen", 2, {}, kSectionAxes));
    // Axes tab (the axis keys and option cells are written around these)
    t.push_back(checkBox("CBAmplTreiber2", kAchsen, "Achsen", 0, "Treiber2", {}, false, true, true,
        kSectionAxes, "CBAmplTreiber2", false));
    t.push_back(checkBox("CBPmaxTreiber2", kAchsen, "Achsen", 1, "Treiber2", {}, false, true, true,
        kSectionAxes, "CBPmaxTreiber2", false));
    t.push_back(grid("OptionGrid", kAchsen, "Achsen", 3, {}, kSectionAxes));
    return t;
}

} // namespace

const std::vector<ControlSpec>& designTable()
{
    static const std::vector<ControlSpec> table = buildTable();
    return table;
}

namespace {

// FNV-1a: control names are a dozen letters, for which the library's hash
// costs more than the rest of a lookup. The check asks thousands of times
// per design.
struct NameHash {
    std::size_t operator()(std::string_view name) const
    {
        std::uint64_t h = 14695981039346656037ull;
        for (const unsigned char c : name)
            h = (h ^ c) * 1099511628211ull;
        return static_cast<std::size_t>(h);
    }
};

} // namespace

int controlIndex(std::string_view name)
{
    static const std::unordered_map<std::string_view, int, NameHash> index = [] {
        std::unordered_map<std::string_view, int, NameHash> m;
        const auto& t = designTable();
        for (size_t i = 0; i < t.size(); ++i)
            m.emplace(t[i].name, static_cast<int>(i));
        return m;
    }();
    auto it = index.find(name);
    return it == index.end() ? -1 : it->second;
}

const ControlSpec* findControl(std::string_view name)
{
    int i = controlIndex(name);
    return i < 0 ? nullptr : &designTable()[static_cast<size_t>(i)];
}

std::string crossoverNumberedKey(int position, int row)
{
    static constexpr std::array<const char*, 4> prefix = { "", "R", "C", "L" };
    return std::string(prefix[static_cast<size_t>(row)]) + std::to_string(position);
}

std::string crossoverCellName(int position, int row)
{
    return "Frequenzweiche " + crossoverNumberedKey(position, row);
}

std::string crossoverKey(int position, int row)
{
    if (position == 1 && row == 2)
        return "C Hochpass";
    if (position == 2 && row == 3)
        return "L Hochpass";
    if (position == 3 && row == 3)
        return "L Tiefpass";
    if (position == 4 && row == 2)
        return "C Tiefpass";
    return crossoverNumberedKey(position, row);
}

bool isShuntPosition(int position)
{
    return std::find(kShuntPositions.begin(), kShuntPositions.end(), position) != kShuntPositions.end();
}

} // namespace velumo
