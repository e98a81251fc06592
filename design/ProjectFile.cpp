#include "ProjectFile.h"

#include <algorithm>

#include "NumberText.h"

namespace velumo {

namespace {

// The default state of a window as stored.
int defaultState(const WindowSpec& w) { return w.minimised ? kStateMinimised : kStateNormal; }

std::string key(std::string_view prefix, std::string_view suffix)
{
    return std::string(prefix) + std::string(suffix);
}

// A value is one line of the file; a line break typed into a text would
// otherwise start a key of its own.
std::string oneLine(std::string_view text)
{
    std::string s(text);
    std::replace(s.begin(), s.end(), '\r', ' ');
    std::replace(s.begin(), s.end(), '\n', ' ');
    return s;
}

std::string axisKey(std::string_view what, int row)
{
    return std::string(what) + " " + std::to_string(row + 1);
}

void saveGrid(const ControlSpec& entry, const Design& d, IniFile& ini)
{
    if (entry.name == "FWGrid") {
        for (int p = 1; p < kFwCols; ++p)
            for (int row = 1; row < kFwRows; ++row)
                ini.writeString(kSectionCrossover, crossoverKey(p, row), oneLine(d.fwCell(p, row)));
    } else if (entry.name == "MinMaxGrid") {
        for (int r = 0; r < kAxisRows; ++r) {
            ini.writeBool(kSectionAxes, axisKey("auto", r), d.axisAuto(r));
            ini.writeString(kSectionAxes, axisKey("min", r), oneLine(d.minMaxCell(0, r)));
            ini.writeString(kSectionAxes, axisKey("max", r), oneLine(d.minMaxCell(1, r)));
        }
    } else if (entry.name == "OptionGrid") {
        for (int r = 0; r < kOptionRows; ++r)
            ini.writeString(kSectionAxes, kOptionKeys[static_cast<size_t>(r)], oneLine(d.optionCell(1, r)));
    }
}

void saveControl(const ControlSpec& entry, const Design& d, IniFile& ini)
{
    const ControlState& c = d.control(entry.name);
    switch (entry.form) {
    case ValueForm::Text:
    case ValueForm::TextReadInt:
    case ValueForm::Voltage:
        ini.writeString(entry.section, entry.key, oneLine(c.text));
        break;
    case ValueForm::ComboPlus1:
        ini.writeInt(entry.section, entry.key, c.index + 1);
        break;
    case ValueForm::RadioIndex:
        ini.writeInt(entry.section, entry.key, c.index);
        break;
    case ValueForm::Boolean:
    case ValueForm::BooleanReadInt:
        ini.writeBool(entry.section, entry.key, c.checked);
        break;
    case ValueForm::GridCells:
        saveGrid(entry, d, ini);
        break;
    }
}

void saveGeometry(const WindowGeometry& g, IniFile& ini)
{
    for (WindowId w : kGeometryFileOrder) {
        const WindowRect& r = g.rect(w);
        const std::string_view prefix = windowSpec(w).fileKey;
        ini.writeInt(kSectionWindows, key(prefix, "Left"), r.left);
        ini.writeInt(kSectionWindows, key(prefix, "Top"), r.top);
        ini.writeInt(kSectionWindows, key(prefix, "Height"), r.height);
        ini.writeInt(kSectionWindows, key(prefix, "Width"), r.width);
    }
    ini.writeInt(kSectionWindows, "MainLeft", g.mainLeft);
    ini.writeInt(kSectionWindows, "MainTop", g.mainTop);
    for (WindowId w : kGeometryStateOrder)
        ini.writeInt(kSectionWindows, key(windowSpec(w).fileKey, "WS"), g.state(w));
}

// The default text of a key: a literal, or the text some box holds now.
std::string loadDefault(const ControlSpec& entry, const Design& d)
{
    if (!entry.loadDefaultFrom.empty())
        return d.text(entry.loadDefaultFrom);
    return std::string(entry.loadDefault);
}

int literalInt(std::string_view text, int fallback)
{
    int v = 0;
    return parseStrictInt(text, &v) ? v : fallback;
}

void loadGrid(const ControlSpec& entry, const IniFile& ini, Design& d)
{
    if (entry.name == "FWGrid") {
        for (int p = 1; p < kFwCols; ++p)
            for (int row = 1; row < kFwRows; ++row)
                d.fwCell(p, row) = ini.readString(kSectionCrossover, crossoverNumberedKey(p, row), "");
        // The four named cells of positions 1 to 4 are read last and win.
        for (auto [p, row] :
            { std::pair { 1, 2 }, std::pair { 2, 3 }, std::pair { 3, 3 }, std::pair { 4, 2 } })
            d.fwCell(p, row) = ini.readString(kSectionCrossover, crossoverKey(p, row), "");
    } else if (entry.name == "MinMaxGrid") {
        for (int r = 0; r < kAxisRows; ++r) {
            d.setAxisAuto(r, ini.readBool(kSectionAxes, axisKey("auto", r), true));
            d.minMaxCell(0, r) = ini.readString(kSectionAxes, axisKey("min", r), "1");
            d.minMaxCell(1, r) = ini.readString(kSectionAxes, axisKey("max", r), "2");
        }
    } else if (entry.name == "OptionGrid") {
        for (int r = 0; r < kOptionRows; ++r)
            d.optionCell(1, r) = ini.readString(
                kSectionAxes, kOptionKeys[static_cast<size_t>(r)], kOptionDefaults[static_cast<size_t>(r)]);
    }
}

// Reads one control's key with its default and writes it into `target`.
void loadControl(const ControlSpec& entry, const IniFile& ini, Design& d, std::string_view target)
{
    ControlState& c = d.control(target);
    switch (entry.form) {
    case ValueForm::Text:
        c.text = ini.readString(entry.section, entry.key, loadDefault(entry, d));
        break;
    case ValueForm::TextReadInt:
        c.text = std::to_string(ini.readInt(entry.section, entry.key, literalInt(entry.loadDefault, 1)));
        break;
    case ValueForm::Voltage: {
        std::string v = ini.readString(entry.section, entry.key, entry.loadDefault);
        c.text = v == "n" || v.empty() || v == "0" ? std::string(entry.loadDefault) : v;
        break;
    }
    case ValueForm::ComboPlus1: {
        // An index outside the item list loads as no selection; the check
        // then selects its default.
        int i = ini.readInt(entry.section, entry.key, literalInt(entry.loadDefault, 1)) - 1;
        c.index = i >= 0 && static_cast<size_t>(i) < entry.items.size() ? i : -1;
        break;
    }
    case ValueForm::RadioIndex: {
        int i = ini.readInt(entry.section, entry.key, literalInt(entry.loadDefault, 0));
        c.index = std::clamp(i, -1, static_cast<int>(entry.items.size()) - 1);
        break;
    }
    case ValueForm::Boolean:
    case ValueForm::BooleanReadInt:
        c.checked = ini.readBool(entry.section, entry.key, entry.loadDefault == "1");
        break;
    case ValueForm::GridCells:
        loadGrid(entry, ini, d);
        break;
    }
}

// The table in loading's order: the driver section first (see
// loadDriver1Values), then the others.
template <class Visit> void inLoadingOrder(Visit visit)
{
    const auto& table = designTable();
    for (const bool driver : { true, false }) {
        for (size_t i = 0; i < table.size(); ++i) {
            if ((table[i].section == kSectionDriver) == driver)
                visit(i, table[i]);
        }
    }
}

} // namespace

WindowGeometry::WindowGeometry()
{
    for (const WindowSpec& w : kWindows) {
        rect(w.id) = WindowRect { w.left, w.top, w.height, w.width };
        state(w.id) = defaultState(w);
    }
}

void saveValues(const Design& design, const WindowGeometry& geometry, IniFile& ini)
{
    for (const ControlSpec& entry : designTable())
        saveControl(entry, design, ini);
    saveGeometry(geometry, ini);
}

bool saveProjectFile(const std::string& path, const Design& design, const WindowGeometry& geometry,
    std::string* error, const std::function<void(IniFile&)>& moreSections)
{
    IniFile ini = IniFile::load(path);
    saveValues(design, geometry, ini);
    if (moreSections)
        moreSections(ini);
    return ini.save(path, error);
}

void loadDesignValues(const IniFile& ini, Design& design)
{
    inLoadingOrder([&](size_t, const ControlSpec& entry) { loadControl(entry, ini, design, entry.name); });
}

bool reloadDesignValues(
    const IniFile& ini, Design& design, const std::vector<std::pair<std::string, std::string>>& changed)
{
    const auto& table = designTable();
    std::vector<bool> keyChanged(table.size(), false);
    for (const auto& k : changed) {
        bool own = false;
        for (size_t i = 0; i < table.size(); ++i) {
            if (table[i].form != ValueForm::GridCells && iniNamesEqual(k.first, table[i].section)
                && iniNamesEqual(k.second, table[i].key)) {
                keyChanged[i] = true;
                own = true;
            }
        }
        if (!own)
            return false;
    }
    // In loading's order, so that a default taken from another control sees
    // that control as a whole load would leave it at that moment.
    std::vector<std::string_view> read;
    inLoadingOrder([&](size_t i, const ControlSpec& entry) {
        const bool dependent = !entry.loadDefaultFrom.empty()
            && std::find(read.begin(), read.end(), entry.loadDefaultFrom) != read.end();
        if (entry.form == ValueForm::GridCells || !(dependent || keyChanged[i]))
            return;
        loadControl(entry, ini, design, entry.name);
        read.push_back(entry.name);
    });
    return true;
}

void loadDriver1Values(const IniFile& ini, Design& design)
{
    for (const ControlSpec& entry : designTable())
        if (entry.section == kSectionDriver)
            loadControl(entry, ini, design, entry.name);
}

void loadOtherValues(const IniFile& ini, Design& design)
{
    for (const ControlSpec& entry : designTable())
        if (entry.section != kSectionDriver)
            loadControl(entry, ini, design, entry.name);
}

void loadDriver2FromDriverFile(const IniFile& ini, Design& design)
{
    const auto& table = designTable();
    for (const ControlSpec& entry : table) {
        if (entry.section != kSectionDriver)
            continue;
        auto twin = std::find_if(
            table.begin(), table.end(), [&](const ControlSpec& s) { return s.twin == entry.name; });
        if (twin != table.end())
            loadControl(entry, ini, design, twin->name);
    }
}

void loadWindowGeometry(const IniFile& ini, WindowGeometry& g)
{
    auto readState = [&](WindowId w) {
        const int fallback = defaultState(windowSpec(w));
        int s = ini.readInt(kSectionWindows, key(windowSpec(w).fileKey, "WS"), fallback);
        // A state the windows do not know would leave a window in limbo.
        return s >= kStateNormal && s <= kStateMaximised ? s : fallback;
    };
    for (WindowId w : kGeometryLoadOrder) {
        const WindowSpec& def = windowSpec(w);
        WindowRect& r = g.rect(w);
        r.left = ini.readInt(kSectionWindows, key(def.fileKey, "Left"), def.left);
        r.top = std::max(0, ini.readInt(kSectionWindows, key(def.fileKey, "Top"), def.top));
        r.height = ini.readInt(kSectionWindows, key(def.fileKey, "Height"), r.height);
        r.width = ini.readInt(kSectionWindows, key(def.fileKey, "Width"), r.width);
    }
    g.mainLeft = ini.readInt(kSectionWindows, "MainLeft", 0);
    g.mainTop = std::max(0, ini.readInt(kSectionWindows, "MainTop", 0));
    for (WindowId w : kGeometryStateOrder)
        g.state(w) = readState(w);
}

} // namespace velumo
