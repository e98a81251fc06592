#include "SweepPlan.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "IniFile.h"
#include "NumberText.h"
#include "StrictNumber.h"

namespace velumo {

namespace {

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// `--option "arg": ` with line breaks of the argument as blanks, so that
// every message stays one line.
std::string prefix(std::string_view option, std::string_view arg)
{
    std::string a(arg);
    std::replace(a.begin(), a.end(), '\r', ' ');
    std::replace(a.begin(), a.end(), '\n', ' ');
    return std::string(option) + " \"" + a + "\": ";
}

bool sameKey(
    std::string_view section1, std::string_view key1, std::string_view section2, std::string_view key2)
{
    return iniNamesEqual(section1, section2) && iniNamesEqual(key1, key2);
}

std::string quote(std::string_view s) { return "\"" + std::string(s) + "\""; }

bool parseUnsigned(std::string_view text, std::uint64_t* value)
{
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value);
    return ec == std::errc() && end == text.data() + text.size();
}

// "Section/Key=rest" against the known keys; the key in the list's spelling.
bool splitKey(std::string_view option, std::string_view arg, std::string_view example,
    const std::vector<ProjectKey>& known, ProjectKey* key, std::string_view* rest, std::string* error)
{
    const size_t slash = arg.find('/');
    const size_t equals = slash == std::string_view::npos ? slash : arg.find('=', slash + 1);
    const std::string_view section = trimmed(arg.substr(0, slash));
    const std::string_view name = equals == std::string_view::npos
        ? std::string_view()
        : trimmed(arg.substr(slash + 1, equals - slash - 1));
    if (equals == std::string_view::npos || section.empty() || name.empty()) {
        *error = prefix(option, arg) + "erwartet wird Abschnitt/Schlüssel=" + std::string(example) + ".";
        return false;
    }
    const ProjectKey* found = findProjectKey(known, section, name);
    if (!found) {
        const bool sectionKnown = std::any_of(known.begin(), known.end(),
            [&](const ProjectKey& k) { return iniNamesEqual(k.section, section); });
        *error = prefix(option, arg)
            + (sectionKnown ? "unbekannter Schlüssel " + quote(name) + " im Abschnitt " + quote(section) + "."
                            : "unbekannter Abschnitt " + quote(section) + ".");
        return false;
    }
    *key = *found;
    *rest = arg.substr(equals + 1);
    return true;
}

// A number of a range or list, or a message naming the text.
bool number(std::string_view text, const std::string& where, double* v, std::string* error)
{
    if (parseStrictNumber(trimmed(text), v))
        return true;
    *error = where + quote(trimmed(text)) + " ist keine Zahl.";
    return false;
}

bool sweepCount(std::string_view text, const std::string& where, std::uint64_t* count, std::string* error)
{
    text = trimmed(text);
    double d = 0.0;
    if (!parseUnsigned(text, count)) {
        const bool wholeBelowOne = parseStrictNumber(text, &d) && d == std::floor(d) && d < 1.0;
        *error = where
            + (wholeBelowOne ? "die Anzahl muss mindestens 1 sein."
                             : "die Anzahl " + quote(text) + " ist keine ganze Zahl.");
        return false;
    }
    if (*count < 1 || *count > static_cast<std::uint64_t>(kMaxSweepCount)) {
        *error = where
            + (*count < 1 ? std::string("die Anzahl muss mindestens 1 sein.")
                          : "höchstens " + std::to_string(kMaxSweepCount) + " Werte je Variation.");
        return false;
    }
    return true;
}

std::vector<std::string_view> split(std::string_view s, char sep)
{
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i <= s.size(); ++i) {
        if (i == s.size() || s[i] == sep) {
            parts.push_back(s.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

bool parseList(std::string_view rest, const std::string& where, Sweep* s, std::string* error)
{
    if (trimmed(rest).empty()) {
        *error = where + "die Liste ist leer.";
        return false;
    }
    for (std::string_view item : split(rest, ',')) {
        double v = 0.0;
        if (trimmed(item).empty()) {
            *error = where + "leerer Wert in der Liste.";
            return false;
        }
        if (!number(item, where, &v, error))
            return false;
        s->values.emplace_back(trimmed(item));
    }
    s->kind = SweepKind::List;
    return true;
}

bool parseRange(
    const std::vector<std::string_view>& parts, const std::string& where, Sweep* s, std::string* error)
{
    const bool log = parts.size() == 4 && trimmed(parts[3]) == "log";
    if (parts.size() != 3 && !log) {
        *error
            = where + "fehlerhafter Bereich; erwartet wird von:bis:Anzahl, von:bis:Anzahl:log oder w1,w2,w3.";
        return false;
    }
    double from = 0.0;
    double to = 0.0;
    std::uint64_t count = 0;
    if (!number(parts[0], where, &from, error) || !number(parts[1], where, &to, error)
        || !sweepCount(parts[2], where, &count, error))
        return false;
    if (from > to) {
        *error = where + "der Anfang " + std::string(trimmed(parts[0])) + " ist größer als das Ende "
            + std::string(trimmed(parts[1])) + ".";
        return false;
    }
    if (log && from <= 0.0) {
        *error = where + "logarithmische Schritte brauchen einen Anfang größer als 0.";
        return false;
    }
    s->kind = log ? SweepKind::Log : SweepKind::Linear;
    for (std::uint64_t i = 0; i < count; ++i) {
        const double t = count == 1 ? 0.0 : static_cast<double>(i) / static_cast<double>(count - 1);
        double v = log ? from * std::pow(to / from, t) : from + (to - from) * t;
        if (i + 1 == count && count > 1)
            v = to;
        s->values.push_back(formatGeneral(v));
    }
    return true;
}

// "lo:hi" as two finite numbers with lo < hi.
bool parsePair(std::string_view text, const std::string& where, std::string_view lowName,
    std::string_view highName, double* lo, double* hi, std::string* error)
{
    const std::vector<std::string_view> parts = split(text, ':');
    if (parts.size() != 2) {
        *error = where + "erwartet werden zwei Zahlen " + std::string(lowName) + ":" + std::string(highName)
            + ".";
        return false;
    }
    if (!number(parts[0], where, lo, error) || !number(parts[1], where, hi, error))
        return false;
    if (!(*lo < *hi)) {
        *error = where + std::string(lowName) + " muss kleiner als " + std::string(highName) + " sein.";
        return false;
    }
    return true;
}

} // namespace

bool parseSet(std::string_view arg, const std::vector<ProjectKey>& known, KeyValue* set, std::string* error)
{
    ProjectKey key;
    std::string_view value;
    if (!splitKey("--set", arg, "Wert, z. B. \"Horn/Hornlänge=2.1\"", known, &key, &value, error))
        return false;
    if (value.find_first_of("\r\n") != std::string_view::npos) {
        *error = prefix("--set", arg) + "der Wert darf keinen Zeilenumbruch enthalten.";
        return false;
    }
    *set = KeyValue { key.section, key.key, std::string(value) };
    return true;
}

bool parseSweep(std::string_view arg, const std::vector<ProjectKey>& known, Sweep* sweep, std::string* error)
{
    ProjectKey key;
    std::string_view rest;
    if (!splitKey(
            "--sweep", arg, "von:bis:Anzahl, z. B. \"Horn/Hornlänge=1.5:3:16\"", known, &key, &rest, error))
        return false;
    const std::string where = prefix("--sweep", arg);
    Sweep s;
    s.section = key.section;
    s.key = key.key;
    const std::vector<std::string_view> parts = split(rest, ':');
    if (!(parts.size() == 1 ? parseList(rest, where, &s, error) : parseRange(parts, where, &s, error)))
        return false;
    // The file would read such a value as something else than the row says.
    if (key.wholeNumber) {
        for (const std::string& value : s.values) {
            double v = 0.0;
            if (!parseStrictNumber(value, &v) || v != std::floor(v)) {
                *error = where + quote(value) + " ist keine ganze Zahl; " + quote(key.section + "/" + key.key)
                    + " nimmt nur ganze Zahlen.";
                return false;
            }
        }
    }
    *sweep = std::move(s);
    return true;
}

bool checkNamedOnce(std::string_view option, const std::vector<ProjectKey>& named,
    const std::vector<KeyValue>& sets, std::string* error)
{
    for (size_t i = 0; i < named.size(); ++i) {
        const ProjectKey& k = named[i];
        const std::string name = std::string(option) + ": " + quote(k.section + "/" + k.key);
        for (size_t j = 0; j < i; ++j)
            if (sameKey(named[j].section, named[j].key, k.section, k.key)) {
                *error = name + " wird zweimal variiert.";
                return false;
            }
        for (const KeyValue& set : sets)
            if (sameKey(set.section, set.key, k.section, k.key)) {
                *error = name + " wird mit --set gesetzt und zugleich variiert.";
                return false;
            }
    }
    return true;
}

bool makeSweepPlan(
    std::vector<Sweep> sweeps, const std::vector<KeyValue>& sets, SweepPlan* plan, std::string* error)
{
    std::vector<ProjectKey> named;
    for (const Sweep& s : sweeps)
        named.push_back({ s.section, s.key });
    if (!checkNamedOnce("--sweep", named, sets, error))
        return false;
    std::uint64_t total = 1;
    for (const Sweep& s : sweeps) {
        const std::uint64_t count = s.values.size();
        if (count == 0 || total > kMaxDesigns / count) {
            *error = "--sweep: mehr als " + std::to_string(kMaxDesigns) + " Entwürfe.";
            return false;
        }
        total *= count;
    }
    plan->sweeps = std::move(sweeps);
    plan->designCount = total;
    return true;
}

std::vector<KeyValue> designValues(const SweepPlan& plan, std::uint64_t index)
{
    std::vector<KeyValue> values(plan.sweeps.size());
    // The last sweep changes fastest: peel the digits from the back.
    for (size_t s = plan.sweeps.size(); s-- > 0;) {
        const Sweep& sweep = plan.sweeps[s];
        const std::uint64_t count = sweep.values.size();
        values[s] = KeyValue { sweep.section, sweep.key, sweep.values[static_cast<size_t>(index % count)] };
        index /= count;
    }
    return values;
}

bool parseShard(std::string_view arg, Shard* shard, std::string* error)
{
    const std::string where = prefix("--shard", arg);
    const std::vector<std::string_view> parts = split(arg, '/');
    Shard s;
    if (parts.size() != 2 || !parseUnsigned(trimmed(parts[0]), &s.k)
        || !parseUnsigned(trimmed(parts[1]), &s.n)) {
        *error = where + "erwartet wird K/N, z. B. \"2/8\" für den zweiten von acht Teilen.";
        return false;
    }
    if (s.n == 0 || s.k == 0 || s.k > s.n) {
        *error = where + (s.n == 0 ? "N muss mindestens 1 sein." : "K muss zwischen 1 und N liegen.");
        return false;
    }
    *shard = s;
    return true;
}

IndexRange shardRange(std::uint64_t designCount, const Shard& shard)
{
    const std::uint64_t k = shard.k - 1;
    const std::uint64_t size = designCount / shard.n;
    const std::uint64_t extra = designCount % shard.n;
    const std::uint64_t begin = k * size + std::min(k, extra);
    return { begin, begin + size + (k < extra ? 1 : 0) };
}

bool parseVary(
    std::string_view arg, const std::vector<ProjectKey>& known, VaryBound* vary, std::string* error)
{
    ProjectKey key;
    std::string_view rest;
    if (!splitKey("--vary", arg, "von:bis, z. B. \"Horn/Hornlänge=1:4\"", known, &key, &rest, error))
        return false;
    if (key.wholeNumber) {
        *error = prefix("--vary", arg) + quote(key.section + "/" + key.key)
            + " nimmt nur ganze Zahlen und lässt sich nicht stufenlos optimieren; "
              "gehen Sie die Werte mit --sweep durch, z. B. --sweep \""
            + key.section + "/" + key.key + "=1,2,3\".";
        return false;
    }
    VaryBound v { key.section, key.key, 0.0, 0.0 };
    if (!parsePair(rest, prefix("--vary", arg), "von", "bis", &v.low, &v.high, error))
        return false;
    *vary = v;
    return true;
}

bool parseBand(std::string_view arg, Band* band, std::string* error)
{
    const std::string where = prefix("--band", arg);
    Band b;
    if (!parsePair(arg, where, "F1", "F2", &b.low, &b.high, error))
        return false;
    if (b.low <= 0.0) {
        *error = where + "F1 muss größer als 0 Hz sein.";
        return false;
    }
    *band = b;
    return true;
}

bool parseJobs(std::string_view arg, int* jobs, std::string* error)
{
    std::uint64_t n = 0;
    if (!parseUnsigned(trimmed(arg), &n) || n < 1 || n > static_cast<std::uint64_t>(kMaxJobs)) {
        *error = prefix("--jobs", arg) + "erwartet wird eine ganze Zahl von 1 bis " + std::to_string(kMaxJobs)
            + ".";
        return false;
    }
    *jobs = static_cast<int>(n);
    return true;
}

bool parseSeed(std::string_view arg, std::uint64_t* seed, std::string* error)
{
    if (!parseUnsigned(trimmed(arg), seed)) {
        *error = prefix("--seed", arg) + "erwartet wird eine ganze Zahl ab 0.";
        return false;
    }
    return true;
}

} // namespace velumo
