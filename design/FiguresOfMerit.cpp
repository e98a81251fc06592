#include "FiguresOfMerit.h"

#include <algorithm>
#include <cmath>

#include "StrictNumber.h"

namespace velumo {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kF3Drop = 3.0;   // dB
constexpr double kF10Drop = 10.0; // dB

constexpr std::array<FigureInfo, kFigureCount> kFigures = { {
    { Figure::F3, "f3", "Hz" },
    { Figure::F10, "f10", "Hz" },
    { Figure::Ripple, "ripple", "dB" },
    { Figure::SplMean, "spl_mean", "dB" },
    { Figure::SplMaxMin, "splmax_min", "dB" },
    { Figure::X1Rel, "x1_rel", "" },
    { Figure::X2Rel, "x2_rel", "" },
    { Figure::Zmin, "zmin", "Ohm" },
    { Figure::VHorn, "VHorn", "l" },
    { Figure::VGesamt, "Vgesamt", "l" },
} };

bool curvesValid(const RunCurves& c)
{
    const size_t n = c.frequency.size();
    if (n == 0 || c.spl.size() != n || c.splMax.size() != n || c.x1.size() != n || c.zel.size() != n
        || (!c.x2.empty() && c.x2.size() != n))
        return false;
    for (size_t i = 0; i < n; ++i)
        if (!std::isfinite(c.frequency[i]) || c.frequency[i] <= 0.0
            || (i > 0 && c.frequency[i] < c.frequency[i - 1]))
            return false;
    return true;
}

// The lowest frequency above which SPL >= threshold up to point k; see the
// header for the cases.
double lowerEdge(std::span<const double> f, std::span<const double> spl, size_t k, double threshold)
{
    if (!(spl[k] >= threshold))
        return kNaN;
    size_t j = k;
    while (j > 0 && spl[j - 1] >= threshold)
        --j;
    if (j == 0)
        return f[0];
    const double below = spl[j - 1];
    if (!std::isfinite(below))
        return f[j];
    const double t = (threshold - below) / (spl[j] - below);
    return std::exp(std::log(f[j - 1]) + t * (std::log(f[j]) - std::log(f[j - 1])));
}

double maxRelative(std::span<const double> x, size_t from, size_t to, double xmax)
{
    if (x.empty() || !(xmax > 0.0) || !std::isfinite(xmax))
        return kNaN;
    return *std::max_element(x.begin() + static_cast<long>(from), x.begin() + static_cast<long>(to)) / xmax;
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool isNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

} // namespace

const std::array<FigureInfo, kFigureCount>& figureTable() { return kFigures; }

std::optional<Figure> findFigure(std::string_view name)
{
    for (const FigureInfo& info : kFigures)
        if (equalsIgnoringCase(info.name, name))
            return info.id;
    return std::nullopt;
}

std::string figureNames()
{
    std::string names;
    for (const FigureInfo& info : kFigures)
        names += (names.empty() ? "" : ", ") + std::string(info.name);
    return names;
}

FiguresOfMerit computeFiguresOfMerit(const MeritInput& in)
{
    FiguresOfMerit out;
    out.values.fill(kNaN);
    out.values[static_cast<size_t>(Figure::VHorn)] = in.vHorn;
    out.values[static_cast<size_t>(Figure::VGesamt)] = in.vGesamt;
    const RunCurves& c = in.curves;
    if (!curvesValid(c)) {
        out.status = MeritStatus::BadCurves;
        return out;
    }
    const double f1 = std::isnan(in.bandLow) ? c.frequency.front() : in.bandLow;
    const double f2 = std::isnan(in.bandHigh) ? c.frequency.back() : in.bandHigh;
    if (!std::isfinite(f1) || !std::isfinite(f2) || f1 > f2) {
        out.status = MeritStatus::BadBand;
        return out;
    }
    // Band points [from, to): the frequencies are ascending.
    const auto first = std::lower_bound(c.frequency.begin(), c.frequency.end(), f1);
    const auto last = std::upper_bound(c.frequency.begin(), c.frequency.end(), f2);
    if (first >= last) {
        out.status = MeritStatus::EmptyBand;
        return out;
    }
    const auto from = static_cast<size_t>(first - c.frequency.begin());
    const auto to = static_cast<size_t>(last - c.frequency.begin());
    const std::span<const double> spl = c.spl.subspan(from, to - from);
    const std::span<const double> splMax = c.splMax.subspan(from, to - from);
    const std::span<const double> zel = c.zel.subspan(from, to - from);

    auto set = [&](Figure f, double v) { out.values[static_cast<size_t>(f)] = v; };
    double sum = 0.0;
    for (double s : spl)
        sum += s;
    const double mean = sum / static_cast<double>(spl.size());
    const auto [splLow, splHigh] = std::minmax_element(spl.begin(), spl.end());
    set(Figure::SplMean, mean);
    set(Figure::Ripple, *splHigh - *splLow);
    set(Figure::SplMaxMin, *std::min_element(splMax.begin(), splMax.end()));
    set(Figure::Zmin, *std::min_element(zel.begin(), zel.end()));
    set(Figure::X1Rel, maxRelative(c.x1, from, to, in.xmax1));
    set(Figure::X2Rel, maxRelative(c.x2, from, to, in.xmax2));
    set(Figure::F3, lowerEdge(c.frequency, c.spl, to - 1, mean - kF3Drop));
    set(Figure::F10, lowerEdge(c.frequency, c.spl, to - 1, mean - kF10Drop));
    return out;
}

std::string_view meritStatusText(MeritStatus status)
{
    switch (status) {
    case MeritStatus::Ok:
        return "";
    case MeritStatus::BadCurves:
        return "Die Ergebnisse des Laufs sind unvollständig.";
    case MeritStatus::BadBand:
        return "Das Band ist ungültig.";
    case MeritStatus::EmptyBand:
        return "Im Band liegt kein Frequenzpunkt des Laufs.";
    }
    return "";
}

bool parseConstraint(std::string_view text, Constraint* constraint, std::string* error)
{
    const std::string arg = "--require \"" + std::string(text) + "\": ";
    const size_t opPos = text.find_first_of("<>");
    const std::string_view name = trimmed(text.substr(0, opPos));
    if (opPos == std::string_view::npos || name.empty()
        || !std::all_of(name.begin(), name.end(), isNameChar)) {
        *error = arg
            + "fehlerhafte Bedingung; erwartet wird Kennzahl, Vergleich (<=, <, >=, >) und Zahl, "
              "z. B. \"f3<=40\".";
        return false;
    }
    const bool less = text[opPos] == '<';
    const bool orEqual = opPos + 1 < text.size() && text[opPos + 1] == '=';
    const std::string_view boundText = trimmed(text.substr(opPos + (orEqual ? 2 : 1)));
    const std::optional<Figure> figure = findFigure(name);
    if (!figure) {
        *error
            = arg + "unbekannte Kennzahl \"" + std::string(name) + "\"; bekannt sind " + figureNames() + ".";
        return false;
    }
    double bound = 0.0;
    if (!parseStrictNumber(boundText, &bound)) {
        *error = arg + "\"" + std::string(boundText) + "\" ist keine Zahl.";
        return false;
    }
    constraint->figure = *figure;
    constraint->op = less ? (orEqual ? Comparison::LessEqual : Comparison::Less)
                          : (orEqual ? Comparison::GreaterEqual : Comparison::Greater);
    constraint->bound = bound;
    return true;
}

bool constraintMet(const Constraint& c, const FiguresOfMerit& figures)
{
    const double v = figures.value(c.figure);
    switch (c.op) {
    case Comparison::Less:
        return v < c.bound;
    case Comparison::LessEqual:
        return v <= c.bound;
    case Comparison::Greater:
        return v > c.bound;
    case Comparison::GreaterEqual:
        return v >= c.bound;
    }
    return false;
}

} // namespace velumo
