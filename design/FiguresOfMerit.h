#pragma once
// Figures of merit of one run, for sweep summaries, optimiser objectives and
// constraints. Definitions (also in the README):
//
// The band is F1..F2 (Hz, default the run's first and last frequency); its
// points are the grid points with F1 <= f <= F2, both ends included.
// - spl_mean: arithmetic mean of SPL (dB) over the band points. On the usual
//   logarithmic grid this weights each octave alike.
// - ripple: max - min of SPL (dB) over the band points.
// - splmax_min: min of SPLmax (dB) over the band points.
// - f3 / f10: with T = spl_mean - 3 (- 10) dB and k the last grid point with
//   f <= F2, the lowest frequency above which SPL >= T up to f_k. The search
//   starts below F1 too: a response that holds its level under the band has
//   an f3 under F1. With j the lowest point such that every point j..k has
//   SPL >= T, f3 interpolates linearly in log frequency between points j-1
//   and j where SPL crosses T (continuous, so an optimiser sees no grid
//   steps). If SPL never drops below T down to the first point, f3 is the
//   first frequency (all the run can tell: the true value is not higher). If
//   SPL at f_k is already below T, f3 is not defined (NaN).
// - x1_rel / x2_rel: max over the band points of x / Xmax (x the peak
//   excursion at Ue in mm, as data.txt's x1 and x2; 1 means Xmax is reached).
//   NaN without excursion values or with Xmax <= 0. In the band, so that
//   narrowing the band to the range the box will play leaves out the rising
//   excursion under it.
// - zmin: min |Zel| (ohm) over the band points.
// - VHorn, Vgesamt: passed through (litre).
// Not defined figures are NaN; the status says why none of the band figures
// could be computed.

#include <array>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace velumo {

// One run's per-point arrays, as data.txt has them: all of the length of
// `frequency` (ascending, Hz); x2 may be empty (no driver 2). Not owned.
struct RunCurves {
    std::span<const double> frequency; // Hz
    std::span<const double> spl;       // dB
    std::span<const double> splMax;    // dB
    std::span<const double> x1;        // mm
    std::span<const double> x2;        // mm, or empty
    std::span<const double> zel;       // ohm
};

struct MeritInput {
    RunCurves curves;
    double xmax1 = 0.0;   // mm
    double xmax2 = 0.0;   // mm
    double vHorn = 0.0;   // litre
    double vGesamt = 0.0; // litre
    // The band in Hz; NaN takes the run's first / last frequency.
    double bandLow = std::numeric_limits<double>::quiet_NaN();
    double bandHigh = std::numeric_limits<double>::quiet_NaN();
};

enum class MeritStatus {
    Ok,
    BadCurves, // no points, arrays of other lengths, frequencies not ascending
    BadBand,   // F1 > F2, or not finite
    EmptyBand, // no grid point inside F1..F2
};

// In the order of the summary columns.
enum class Figure { F3, F10, Ripple, SplMean, SplMaxMin, X1Rel, X2Rel, Zmin, VHorn, VGesamt };
constexpr int kFigureCount = 10;

struct FigureInfo {
    Figure id;
    std::string_view name; // as on the command line and in summary.csv
    std::string_view unit; // "Hz", "dB", "Ohm", "l" or "" (a ratio)
};
// Every figure, in the order of Figure.
const std::array<FigureInfo, kFigureCount>& figureTable();
// The figure of a name ("f3", "VHorn"; ASCII case ignored), or none.
std::optional<Figure> findFigure(std::string_view name);
// The names joined for messages: "f3, f10, ripple, ...".
std::string figureNames();

struct FiguresOfMerit {
    MeritStatus status = MeritStatus::Ok;
    std::array<double, kFigureCount> values {}; // indexed by Figure; NaN = not defined
    double value(Figure f) const { return values[static_cast<size_t>(f)]; }
};

// All figures of one run. VHorn and Vgesamt are set whatever the status;
// the others are NaN unless the status is Ok.
FiguresOfMerit computeFiguresOfMerit(const MeritInput& input);

// A German one-line reason for a status other than Ok ("" for Ok).
std::string_view meritStatusText(MeritStatus status);

enum class Comparison { Less, LessEqual, Greater, GreaterEqual };

struct Constraint {
    Figure figure = Figure::F3;
    Comparison op = Comparison::LessEqual;
    double bound = 0.0;
    bool operator==(const Constraint&) const = default;
};

// Parses a --require text: "f3<=40", "Vgesamt <= 400", "ripple<6" (<=, <, >=,
// >; bound with decimal point). False with a one-line German *error.
bool parseConstraint(std::string_view text, Constraint* constraint, std::string* error);

// True when the figure is defined and meets the constraint.
bool constraintMet(const Constraint& constraint, const FiguresOfMerit& figures);

} // namespace velumo
